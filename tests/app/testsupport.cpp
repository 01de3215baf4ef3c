// The scripted prompter, file helpers and the test runner of the desktop program's tests.
#include "testsupport.h"

#include "engine/codepage.h"

#include <QApplication>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstdlib>
#include <utility>
#include <vector>

QByteArray ReadBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

bool WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray Cp932(const char *utf8)
{
    return QByteArray::fromStdString(cp932::FromUtf8(utf8));
}

void WhenModal(std::function<void(QWidget *dialog)> action, const char *className)
{
    auto *timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout,
                     [timer, className, ticks = 0, action = std::move(action)]() mutable {
                         QWidget *modal = QApplication::activeModalWidget();
                         if (modal && className && !modal->inherits(className))
                             modal = nullptr;
                         if (!modal && ++ticks < 250)
                             return;
                         timer->stop();
                         timer->deleteLater();
                         if (modal)
                             action(modal);
                     });
    timer->start();
}

namespace {

std::vector<std::pair<const char *, TestFactory>> &registry()
{
    static std::vector<std::pair<const char *, TestFactory>> tests;
    return tests;
}

} // namespace

int RegisterTest(const char *name, TestFactory factory)
{
    registry().emplace_back(name, std::move(factory));
    return static_cast<int>(registry().size());
}

// Runs every registered test class, or those named as the first arguments
// ("app_tests EditorTest -v2"). Settings go to a temporary folder, never the user's.
int main(int argc, char *argv[])
{
    QTemporaryDir configHome;
    qputenv("XDG_CONFIG_HOME", configHome.path().toUtf8());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, configHome.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, configHome.path());
    QApplication application(argc, argv);

    QStringList names;
    QStringList options{QString::fromLocal8Bit(argv[0])};
    int i = 1;
    for (; i < argc && argv[i][0] != '-'; ++i)
        names << QString::fromLocal8Bit(argv[i]);
    for (; i < argc; ++i)
        options << QString::fromLocal8Bit(argv[i]);
    int failures = 0;
    for (const auto &[name, factory] : registry()) {
        if (!names.isEmpty() && !names.contains(QLatin1String(name)))
            continue;
        std::unique_ptr<QObject> test = factory();
        failures += QTest::qExec(test.get(), options);
    }
    return failures == 0 ? EXIT_SUCCESS : EXIT_FAILURE;
}
