// zentova-print's command line.
#include "cli/options.h"

#include <gtest/gtest.h>

namespace {

std::string parse(std::vector<std::string> args, Options &o)
{
    o = Options{};
    return ParseOptions(args, o);
}

TEST(Options, OutputKindsAndDefaults)
{
    Options o;
    EXPECT_EQ(parse({"form.zent"}, o), "");
    EXPECT_EQ(o.output, "form.pdf");
    EXPECT_EQ(o.outputKind, Options::Output::Pdf);
    EXPECT_EQ(parse({"dir/Form.ZENT"}, o), "");
    EXPECT_EQ(o.output, "dir/Form.pdf");
    EXPECT_EQ(parse({"-o", "p%d.PNG", "a.zent"}, o), "");
    EXPECT_EQ(o.outputKind, Options::Output::Png);
    EXPECT_EQ(parse({"--check", "a.zent"}, o), "");
    EXPECT_EQ(o.outputKind, Options::Output::None);
    EXPECT_EQ(parse({"--trace", "a.zent"}, o), "");
    EXPECT_EQ(o.outputKind, Options::Output::None);
    EXPECT_EQ(parse({"--trace", "--output=x.pdf", "a.zent"}, o), "");
    EXPECT_EQ(o.outputKind, Options::Output::Pdf);
}

TEST(Options, ValuesAndTheirErrors)
{
    Options o;
    EXPECT_EQ(parse({"--pages", "2-4", "--paper", "postcard", "--landscape", "--dpi=300",
                     "--adjust", "-20,-5", "--threads=64", "a.zent"},
                    o),
              "");
    EXPECT_EQ(o.firstPage, 2);
    EXPECT_EQ(o.lastPage, 4);
    EXPECT_EQ(o.paper.width, 1000);
    EXPECT_EQ(o.paper.height, 1480);
    EXPECT_TRUE(o.landscape);
    EXPECT_EQ(o.dpi, 300);
    EXPECT_EQ(o.adjust, std::make_pair(-20, -5));
    EXPECT_EQ(o.threads, 64);
    EXPECT_EQ(parse({"--slot", "3=logo.png", "--slot=0=a=b.png", "a.zent"}, o), "");
    EXPECT_EQ(o.slotImages, (std::vector<std::pair<int, std::string>>{{3, "logo.png"}, {0, "a=b.png"}}));
    EXPECT_EQ(parse({"--pages", "3", "--paper", "9", "a.zent"}, o), "");
    EXPECT_EQ(o.lastPage, 3);
    EXPECT_EQ(o.paper.height, 2970);
    EXPECT_EQ(parse({"--pages", "3-", "--paper", "B4", "a.zent"}, o), "");
    EXPECT_EQ(o.lastPage, 0);
    EXPECT_EQ(o.paper.width, 2570);
    EXPECT_EQ(parse({"--data", "list.csv", "--records=2-5", "a.zent"}, o), "");
    EXPECT_EQ(o.dataFile, "list.csv");
    EXPECT_EQ(o.firstRecord, 2);
    EXPECT_EQ(o.lastRecord, 5);

    using Args = std::vector<std::string>;
    for (const Args &bad :
         {Args{}, {"a.zent", "b.zent"}, {"--frobnicate", "a.zent"}, {"--pages", "4-2", "a.zent"},
          {"--pages", "0", "a.zent"}, {"--paper", "A9", "a.zent"}, {"--paper", "999", "a.zent"},
          {"--dpi", "0", "a.zent"}, {"--adjust", "5", "a.zent"}, {"--slot", "10=a.png", "a.zent"},
          {"--slot", "a.png", "a.zent"}, {"-o", "out.svg", "a.zent"},
          {"--threads", "0", "a.zent"}, {"--threads", "65", "a.zent"}, {"--threads", "2x", "a.zent"},
          {"--check", "-o", "x.pdf", "a.zent"}, {"a.zent", "-o"}, {"--records", "2", "a.zent"},
          {"--data", "d.csv", "--records", "0-3", "a.zent"}, {"--data=", "a.zent"}})
        EXPECT_NE(parse(bad, o), "") << ::testing::PrintToString(bad);
    EXPECT_EQ(parse({"--help"}, o), "");
    EXPECT_TRUE(o.help);
}

TEST(Options, PngPathsPerPage)
{
    EXPECT_EQ(PngPathForPage("out/page%d.png", 3), "out/page3.png");
    EXPECT_EQ(PngPathForPage("out/form.png", 12), "out/form-12.png");
}

TEST(Options, PrinterWritesNoFileAndTakesNoOtherOutput)
{
    Options o;
    EXPECT_EQ(parse({"--printer", "", "--pages", "2", "a.zent"}, o), "");
    ASSERT_TRUE(o.printer.has_value());
    EXPECT_EQ(*o.printer, "");
    EXPECT_EQ(o.outputKind, Options::Output::None);
    EXPECT_EQ(o.output, "");
    EXPECT_EQ(parse({"--printer=Office", "--landscape", "a.zent"}, o), "");
    EXPECT_EQ(*o.printer, "Office");
    for (const char *other : {"--check", "--trace"})
        EXPECT_NE(parse({"--printer", "x", other, "a.zent"}, o), "") << other;
    EXPECT_NE(parse({"--printer", "x", "-o", "a.pdf", "a.zent"}, o), "");
    EXPECT_NE(parse({"a.zent", "--printer"}, o), "");
}

} // namespace
