// Builds the HTML manual beside the programs: every example of the source manual is run
// through zentova-print and shown beside the picture it draws, so that no picture can
// differ from what the program does.
//
//   zentova-manual-builder --print ZENTOVA_PRINT --source DIR --examples DIR
//                          --work DIR --output DIR [--file NAME=PATH]...
//
// In DIR/index.html of --source, each <pre class="example"> becomes a table of the code and
// its pictures, and a comment <!-- example-file: NAME OPTIONS --> becomes the same for the
// command file NAME of --examples, rendered with zentova-print's OPTIONS. The examples run
// in --work, where each --file is copied first (the pictures and called files they name).
#include "engine/codepage.h"
#include "engine/textlines.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QStringList>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <regex>
#include <sstream>

namespace {

namespace fs = std::filesystem;

// The resolution of the pictures: text of the default 12 points stays readable and an A4
// page fits beside the code.
constexpr int kDotsPerInch = 72;
// White space left around what a page draws, in pixels.
constexpr int kMargin = 8;

struct Settings {
    std::string print;
    fs::path source, examples, work, output;
    std::map<std::string, fs::path> files;
};

std::string readFile(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    if (!in)
        throw std::runtime_error("cannot read " + path.string());
    return s.str();
}

void writeFile(const fs::path &path, const std::string &bytes)
{
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

std::string replaceAll(std::string s, const std::string &from, const std::string &to)
{
    for (std::size_t at = 0; (at = s.find(from, at)) != std::string::npos; at += to.size())
        s.replace(at, from.size(), to);
    return s;
}

std::string unescapeHtml(std::string s)
{
    using Entity = std::pair<const char *, const char *>;
    for (const Entity &e : {Entity{"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&#39;", "'"},
                            {"&amp;", "&"}})
        s = replaceAll(s, e.first, e.second);
    return s;
}

std::string escapeHtml(std::string s)
{
    s = replaceAll(s, "&", "&amp;");
    s = replaceAll(s, "<", "&lt;");
    return replaceAll(s, ">", "&gt;");
}

// The part of a page that holds marks, from the paper's top-left corner (so that the
// picture keeps the page's coordinates) to the last mark, with a margin and a frame.
QImage cropToMarks(const QImage &page)
{
    int right = 0, bottom = 0;
    const QRgb white = qRgb(255, 255, 255);
    for (int y = 0; y < page.height(); ++y) {
        const QRgb *row = reinterpret_cast<const QRgb *>(page.constScanLine(y));
        for (int x = 0; x < page.width(); ++x) {
            if ((row[x] | 0xFF000000u) != white) {
                right = std::max(right, x + 1);
                bottom = y + 1;
            }
        }
    }
    QImage part = page.copy(0, 0, std::min(page.width(), right + kMargin),
                            std::min(page.height(), bottom + kMargin));
    // A thin frame shows where the paper's part ends, in the help window as in a browser.
    QPainter frame(&part);
    frame.setPen(QColor(0xc8, 0xd0, 0xe0));
    frame.drawRect(0, 0, part.width() - 1, part.height() - 1);
    return part;
}

// Runs `commandFile` (in the work folder) through zentova-print with `options`, and
// returns the <img> elements of its pages, whose pictures go to output/pictures/.
std::string renderPictures(const Settings &s, const std::string &name, const fs::path &commandFile,
                           const QStringList &options)
{
    const fs::path pattern = s.work / (name + "-%d.png");
    for (const auto &entry : fs::directory_iterator(s.work))
        if (entry.path().filename().string().rfind(name + "-", 0) == 0)
            fs::remove(entry.path());
    QProcess print;
    print.setWorkingDirectory(QString::fromStdString(s.work.string()));
    print.setProcessChannelMode(QProcess::ForwardedChannels);
    // Rendered as stored nowhere: no adjustment of this machine's settings moves them.
    print.start(QString::fromStdString(s.print),
                QStringList{"--adjust", "0,0", "--dpi", QString::number(kDotsPerInch), "-o",
                            QString::fromStdString(pattern.string())} +
                    options + QStringList{QString::fromStdString(commandFile.string())});
    // Exit status 1 is an example that shows errors on purpose.
    if (!print.waitForFinished(120000) || print.exitStatus() != QProcess::NormalExit ||
        print.exitCode() > 1)
        throw std::runtime_error("zentova-print failed on " + commandFile.string());
    std::string images;
    for (int page = 1;; ++page) {
        const fs::path png = s.work / (name + "-" + std::to_string(page) + ".png");
        if (!fs::exists(png))
            break;
        const QImage picture =
            cropToMarks(QImage(QString::fromStdString(png.string())).convertToFormat(QImage::Format_RGB32));
        const std::string file = name + (page > 1 ? "-" + std::to_string(page) : "") + ".png";
        if (!picture.save(QString::fromStdString((s.output / "pictures" / file).string())))
            throw std::runtime_error("cannot write the picture " + file);
        images += "<img src=\"pictures/" + file + "\" width=\"" + std::to_string(picture.width()) +
                  "\" height=\"" + std::to_string(picture.height()) + "\" alt=\"" +
                  (page > 1 ? std::to_string(page) + " ページ目" : "印刷結果") + "\">";
    }
    if (images.empty())
        throw std::runtime_error("zentova-print wrote no page for " + commandFile.string());
    return images;
}

// The code beside its pictures. A table, so that the program's help window shows it the
// way a browser does.
std::string exampleTable(const std::string &pre, const std::string &images)
{
    return "<table class=\"example\"><tr><td>" + pre + "</td><td class=\"picture\">" + images +
           "</td></tr></table>";
}

std::string build(const Settings &s)
{
    const std::string html = readFile(s.source / "index.html");
    const std::regex piece(
        R"re(<pre class="example"[^>]*>\n?([\s\S]*?)</pre>|<!-- example-file: (\S+)((?: \S+)*) -->)re");
    std::string out;
    std::size_t done = 0;
    int count = 0;
    for (auto it = std::sregex_iterator(html.begin(), html.end(), piece);
         it != std::sregex_iterator(); ++it) {
        const std::smatch &m = *it;
        out.append(html, done, static_cast<std::size_t>(m.position()) - done);
        done = static_cast<std::size_t>(m.position() + m.length());
        const std::string name = "example-" + std::to_string(++count);
        const fs::path commandFile = s.work / (name + ".zent");
        if (m[1].matched) {
            writeFile(commandFile, NormalizeLineEnds(cp932::FromUtf8(unescapeHtml(m[1].str()))));
            out += exampleTable(m.str(), renderPictures(s, name, commandFile, {}));
        } else {
            const std::string bytes = readFile(s.examples / m[2].str());
            writeFile(commandFile, bytes);
            QStringList options =
                QString::fromStdString(m[3].str()).split(' ', Qt::SkipEmptyParts);
            std::string text = cp932::ToUtf8(bytes);
            std::erase(text, '\r');
            out += exampleTable("<pre class=\"example-file\">" + escapeHtml(text) + "</pre>",
                                renderPictures(s, name, commandFile, options));
        }
    }
    out.append(html, done);
    std::cout << "manual: " << count << " examples rendered\n";
    return out;
}

} // namespace

int main(int argc, char **argv)
{
    Settings s;
    try {
        for (int i = 1; i + 1 < argc; i += 2) {
            const std::string option = argv[i], value = argv[i + 1];
            if (option == "--print") {
                s.print = value;
            } else if (option == "--source") {
                s.source = value;
            } else if (option == "--examples") {
                s.examples = value;
            } else if (option == "--work") {
                s.work = value;
            } else if (option == "--output") {
                s.output = value;
            } else if (option == "--file" && value.find('=') != std::string::npos) {
                s.files[value.substr(0, value.find('='))] = value.substr(value.find('=') + 1);
            } else {
                throw std::runtime_error("unknown argument " + option);
            }
        }
        if (s.print.empty() || s.source.empty() || s.work.empty() || s.output.empty())
            throw std::runtime_error("--print, --source, --work and --output are needed");
        fs::create_directories(s.work);
        fs::create_directories(s.output / "pictures");
        for (const auto &[name, path] : s.files)
            fs::copy_file(path, s.work / name, fs::copy_options::overwrite_existing);
        const std::string html = build(s);
        fs::copy_file(s.source / "manual.css", s.output / "manual.css",
                      fs::copy_options::overwrite_existing);
        writeFile(s.output / "index.html", html);
    } catch (const std::exception &e) {
        std::cerr << "zentova-manual-builder: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
