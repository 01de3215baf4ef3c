// The status bar's lock-key indicators: kana, caps, num and scroll lock.
#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>

#include <array>
#include <memory>

class QLabel;
class QStatusBar;

// Four panes "ｶﾅ", "CAP", "NUM", "SCRL" at the right of a status bar, each shown in full
// while its lock is on and greyed while it is off. On X11 the keyboard extension tells the
// states, and its indicator events keep the panes up to date whichever program has the
// keyboard. Where the platform does not tell them (Wayland, offscreen) the panes stay grey.
class LockIndicators : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    explicit LockIndicators(QStatusBar *bar);
    ~LockIndicators() override;
    Q_DISABLE_COPY(LockIndicators)

    bool nativeEventFilter(const QByteArray &eventType, void *message,
                           qintptr *result) override;

private:
    struct Keyboard;

    // Reads the lock states and shows them.
    void update();

    std::array<QLabel *, 4> m_panes{};
    std::unique_ptr<Keyboard> m_keyboard; // null where the states cannot be read
};
