// The editor's text and the file's code page 932 bytes: characters under another
// mapping, characters without a form, bytes that form no character.
#include "testsupport.h"

#include "commandtext.h"

#include "engine/errors.h"

#include <QTest>

using commandtext::FromBytes;
using commandtext::ToBytes;

class CommandTextTest : public QObject {
    Q_OBJECT

private slots:
    void editorTextBecomesCodePage932_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("readBack");
        QTest::addColumn<QList<int>>("unmappedLines");

        QTest::newRow("typed wave dash and minus")
            << QStringLiteral(":.1〜3丁目 A−B")
            << QByteArray(":.1\x81\x60" + Cp932("3丁目 A") + "\x81\x7C" "B")
            << QStringLiteral(":.1～3丁目 A－B") << QList<int>{};
        QTest::newRow("no form: one ? each, lines named")
            << QStringLiteral("a😀\nb\ncafé ☺") << QByteArray("a?\r\nb\r\ncaf? ?")
            << QStringLiteral("a?\nb\ncaf? ?") << QList<int>{1, 3};
        // Bytes that form no character are private-use characters, clear of code page
        // 932's user-defined area (U+E000 up). A typed one is its byte.
        QTest::newRow("byte characters") << QStringLiteral("\uEF85\uEFA0\uEFFF")
                                         << QByteArray("\x85\xA0\xFF")
                                         << QStringLiteral("\uEF85\uEFA0\uEFFF") << QList<int>{};
    }

    void editorTextBecomesCodePage932()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, readBack);
        QFETCH(QList<int>, unmappedLines);
        const commandtext::Encoded encoded = ToBytes(text);
        QCOMPARE(QByteArray::fromStdString(encoded.bytes), bytes);
        QCOMPARE(encoded.unmappedLines, unmappedLines);
        QCOMPARE(FromBytes(bytes.toStdString()), readBack);
    }

    // Bytes that form no character, and characters with two codes, come back as they
    // were, whatever line ends the file had.
    void bytesComeBackAsTheyWere_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("lone lead byte at the end") << QByteArray("A\r\nB\x82");
        QTest::newRow("lead byte before a line end") << QByteArray("\x82\r\n\x9F\nx");
        QTest::newRow("lead byte with a foreign trail") << QByteArray("\x85\x40\x81\x20");
        QTest::newRow("bytes that are never a character") << QByteArray("\x80\xA0\xFD\xFE\xFF");
        QTest::newRow("user-defined area") << QByteArray("\xF0\x40\xF9\xFC");
        QTest::newRow("characters with two codes") << QByteArray("\xED\x40\x87\x90\r\nx");
        QTest::newRow("one line in both codes")
            << QByteArray("\xED\x40\r\n\xFA\x5C\r\nx\r\n\xED\x40\n");
        QTest::newRow("NUL and control bytes") << QByteArray("a\0\x01\x1A", 4);
    }

    void bytesComeBackAsTheyWere()
    {
        QFETCH(QByteArray, bytes);
        commandtext::KeptLines kept;
        const QString text = FromBytes(bytes.toStdString(), &kept);
        QVERIFY(!text.contains(QChar::ReplacementCharacter));
        const commandtext::Encoded encoded = ToBytes(text, kept);
        QCOMPARE(QByteArray::fromStdString(encoded.bytes),
                 QByteArray(bytes).replace("\r\n", "\n").replace('\n', "\r\n"));
        QVERIFY(encoded.unmappedLines.isEmpty());
    }

    // Lines that lost characters join the error list after the job's own entries, in
    // its format, without a second entry for a line that has one.
    void lostCharactersAreListedOncePerLine()
    {
        const commandtext::Encoded text = ToBytes(QStringLiteral("ok\n:.x😀b\nzzz ☺"));
        ErrorText errors;
        errors.add(3, "zzz ?", "earlier");
        QVERIFY(commandtext::ListUnmappedLines(text, errors));
        QCOMPARE(QByteArray::fromStdString(errors.str()),
                 QByteArray("(3) zzz ?\r\n      earlier\r\n"
                            "(2) :.x?b\r\n      ") +
                     Cp932("Shift-JIS にない文字があります (?で印刷)") + "\r\n");
        QVERIFY(!commandtext::ListUnmappedLines(text, errors));
    }
};

ZENTOVA_APP_TEST(CommandTextTest);
#include "commandtext_test.moc"
