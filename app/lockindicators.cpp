// The lock-key panes and the X keyboard extension that tells their states.
#include "lockindicators.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QStatusBar>

#ifdef ZENTOVA_HAVE_XKB
#include <X11/XKBlib.h>
#include <xcb/xcb.h>
#endif

namespace {

// Each pane's text and the name of the keyboard indicator (LED) of its lock.
struct Lock {
    const char *text;
    const char *indicator;
};
constexpr Lock kLocks[] = {
    {"ｶﾅ", "Kana"}, {"CAP", "Caps Lock"}, {"NUM", "Num Lock"}, {"SCRL", "Scroll Lock"}};

} // namespace

#ifdef ZENTOVA_HAVE_XKB

// The keyboard of the X server the program shows on, through Qt's own connection: the
// number of the extension's events and the indicator of each lock.
struct LockIndicators::Keyboard {
    Display *display = nullptr;
    int eventBase = 0;
    std::array<int, 4> indicator{-1, -1, -1, -1}; // -1: the keyboard has no such LED

    // The keyboard of the X server, or null on another platform or without the extension.
    static std::unique_ptr<Keyboard> open()
    {
        const auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                                  : nullptr;
        if (!x11 || !x11->display())
            return nullptr;
        auto keyboard = std::make_unique<Keyboard>();
        keyboard->display = x11->display();
        int opcode = 0, errorBase = 0, major = XkbMajorVersion, minor = XkbMinorVersion;
        if (!XkbQueryExtension(keyboard->display, &opcode, &keyboard->eventBase, &errorBase,
                               &major, &minor))
            return nullptr;
        for (std::size_t i = 0; i < std::size(kLocks); ++i) {
            const Atom name = XInternAtom(keyboard->display, kLocks[i].indicator, True);
            int index = -1;
            Bool on = False;
            if (name != None &&
                XkbGetNamedIndicator(keyboard->display, name, &index, &on, nullptr, nullptr))
                keyboard->indicator[i] = index;
        }
        // The server reports every change of an LED to every program that asks, whichever
        // window has the keyboard.
        XkbSelectEvents(keyboard->display, XkbUseCoreKbd, XkbIndicatorStateNotifyMask,
                        XkbIndicatorStateNotifyMask);
        XFlush(keyboard->display);
        return keyboard;
    }

    // The lit LEDs, one bit per indicator; 0 when the server does not answer.
    unsigned int state() const
    {
        unsigned int lit = 0;
        return XkbGetIndicatorState(display, XkbUseCoreKbd, &lit) == Success ? lit : 0;
    }

    bool isIndicatorEvent(const QByteArray &eventType, const void *message) const
    {
        if (eventType != "xcb_generic_event_t")
            return false;
        const auto *event = static_cast<const xcb_generic_event_t *>(message);
        // All events of the extension share one number; the second byte tells which.
        return (event->response_type & 0x7f) == eventBase &&
               event->pad0 == XkbIndicatorStateNotify;
    }
};

#else

struct LockIndicators::Keyboard {
    static std::unique_ptr<Keyboard> open() { return nullptr; }
    std::array<int, 4> indicator{-1, -1, -1, -1};
    unsigned int state() const { return 0; }
    bool isIndicatorEvent(const QByteArray &, const void *) const { return false; }
};

#endif

LockIndicators::LockIndicators(QStatusBar *bar) : QObject(bar), m_keyboard(Keyboard::open())
{
    for (std::size_t i = 0; i < std::size(kLocks); ++i) {
        auto *pane = new QLabel(QString::fromUtf8(kLocks[i].text), bar);
        pane->setEnabled(false);
        pane->setFrameShape(QFrame::Panel);
        pane->setFrameShadow(QFrame::Sunken);
        bar->addPermanentWidget(pane);
        m_panes[i] = pane;
    }
    if (m_keyboard) {
        QCoreApplication::instance()->installNativeEventFilter(this);
        update();
    }
}

LockIndicators::~LockIndicators()
{
    if (m_keyboard && QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool LockIndicators::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (m_keyboard && m_keyboard->isIndicatorEvent(eventType, message))
        update();
    return false;
}

void LockIndicators::update()
{
    const unsigned int lit = m_keyboard->state();
    for (std::size_t i = 0; i < m_panes.size(); ++i) {
        const int indicator = m_keyboard->indicator[i];
        m_panes[i]->setEnabled(indicator >= 0 && (lit & (1u << indicator)) != 0);
    }
}
