// What the desktop program's tests share: scripted answers to the program's questions,
// files in a temporary folder, and the list of test classes that main() runs.
#pragma once

#include "prompter.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

// Answers OK / Cancel questions and File Open from a script and records everything the
// program asked or told. Unscripted questions are answered Cancel (and recorded), so a
// test never hangs.
class ScriptedPrompter : public Prompter {
public:
    QList<bool> okCancelAnswers;
    QStringList openFileAnswers;

    QStringList questions;   // every question's text, in order
    QStringList messages;    // every message's text, in order
    QStringList openFolders; // the folder each open dialog started in

    bool askOkCancel(QWidget *, const QString &text) override
    {
        questions << text;
        return !okCancelAnswers.isEmpty() && okCancelAnswers.takeFirst();
    }
    Answer askYesNoCancel(QWidget *, const QString &text) override
    {
        questions << text;
        return Answer::Cancel;
    }
    void tell(QWidget *, const QString &text, Severity) override { messages << text; }
    QString openFileName(QWidget *, const QString &folder, const QString &) override
    {
        openFolders << folder;
        return openFileAnswers.isEmpty() ? QString() : openFileAnswers.takeFirst();
    }
    QString saveFileName(QWidget *, const QString &, const QString &) override { return {}; }
    QList<QColor> colorAnswers;  // an invalid colour answers Cancel
    QStringList faceAnswers;     // "" answers Cancel
    std::optional<QColor> chooseColor(QWidget *) override
    {
        const QColor color = colorAnswers.isEmpty() ? QColor() : colorAnswers.takeFirst();
        return color.isValid() ? std::optional<QColor>(color) : std::nullopt;
    }
    QString chooseFontFace(QWidget *) override
    {
        return faceAnswers.isEmpty() ? QString() : faceAnswers.takeFirst();
    }
};

// Bytes of a file; empty when it cannot be read.
QByteArray ReadBytes(const QString &path);
// Writes `bytes` to `path`; false when it could not.
bool WriteBytes(const QString &path, const QByteArray &bytes);
// Code page 932 bytes of UTF-8 text.
QByteArray Cp932(const char *utf8);

// Runs `action` once the next modal dialog is up (polling every 20 ms for up to 5 s),
// handing it that dialog; with `className`, once a dialog of that class is the modal one.
void WhenModal(std::function<void(QWidget *dialog)> action, const char *className = nullptr);

// Every test class registers itself here; main() runs them in order.
using TestFactory = std::function<std::unique_ptr<QObject>()>;
int RegisterTest(const char *name, TestFactory factory);

#define ZENTOVA_APP_TEST(Class)                                                           \
    static const int registered##Class =                                                 \
        RegisterTest(#Class, []() { return std::unique_ptr<QObject>(new Class); })
