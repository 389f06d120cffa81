#pragma once

#include <QEvent>
#include <QLibrary>
#include <QMouseEvent>
#include <QObject>
#include <QPoint>
#include <QWindow>

// The real X pointer, driven through the XTEST extension: the window manager sees these presses
// and motions exactly as it sees a user's. The X libraries are loaded at run time, so the tests
// need nothing beyond what an X installation brings.
class FakePointer
{
public:
    FakePointer()
    {
        m_x11.setFileNameAndVersion(QStringLiteral("X11"), 6);
        m_xtst.setFileNameAndVersion(QStringLiteral("Xtst"), 6);
        if (!m_x11.load() || !m_xtst.load())
            return;
        m_openDisplay = reinterpret_cast<OpenDisplay>(m_x11.resolve("XOpenDisplay"));
        m_closeDisplay = reinterpret_cast<CloseDisplay>(m_x11.resolve("XCloseDisplay"));
        m_sync = reinterpret_cast<Sync>(m_x11.resolve("XSync"));
        m_defaultRoot = reinterpret_cast<DefaultRoot>(m_x11.resolve("XDefaultRootWindow"));
        m_translate = reinterpret_cast<Translate>(m_x11.resolve("XTranslateCoordinates"));
        m_queryExtension = reinterpret_cast<QueryExtension>(m_xtst.resolve("XTestQueryExtension"));
        m_fakeMotion = reinterpret_cast<FakeMotion>(m_xtst.resolve("XTestFakeMotionEvent"));
        m_fakeButton = reinterpret_cast<FakeButton>(m_xtst.resolve("XTestFakeButtonEvent"));
        if (!m_openDisplay || !m_closeDisplay || !m_sync || !m_defaultRoot || !m_translate ||
            !m_queryExtension || !m_fakeMotion || !m_fakeButton)
            return;
        m_display = m_openDisplay(nullptr);
        if (!m_display)
            return;
        int eventBase = 0, errorBase = 0, major = 0, minor = 0;
        if (!m_queryExtension(m_display, &eventBase, &errorBase, &major, &minor)) {
            m_closeDisplay(m_display);
            m_display = nullptr;
        }
    }

    ~FakePointer()
    {
        if (m_display)
            m_closeDisplay(m_display);
    }

    bool isValid() const { return m_display != nullptr; }

    void moveTo(const QPoint &global)
    {
        m_fakeMotion(m_display, -1, global.x(), global.y(), 0);
        m_sync(m_display, 0);
    }

    void press()
    {
        m_fakeButton(m_display, LeftButton, 1, 0);
        m_sync(m_display, 0);
    }

    void release()
    {
        m_fakeButton(m_display, LeftButton, 0, 0);
        m_sync(m_display, 0);
    }

    // Where the X server has the window's top-left corner now. A window manager that moves its
    // frame may tell the client only when the move ends; the server knows at once.
    QPoint rootPosition(unsigned long window)
    {
        int x = 0, y = 0;
        unsigned long child = 0;
        m_translate(m_display, window, m_defaultRoot(m_display), 0, 0, &x, &y, &child);
        return QPoint(x, y);
    }

private:
    Q_DISABLE_COPY(FakePointer)

    static constexpr unsigned LeftButton = 1;

    using OpenDisplay = void *(*)(const char *);
    using CloseDisplay = int (*)(void *);
    using Sync = int (*)(void *, int);
    using DefaultRoot = unsigned long (*)(void *);
    using Translate = int (*)(void *, unsigned long, unsigned long, int, int, int *, int *,
                              unsigned long *);
    using QueryExtension = int (*)(void *, int *, int *, int *, int *);
    using FakeMotion = int (*)(void *, int, int, int, unsigned long);
    using FakeButton = int (*)(void *, unsigned, int, unsigned long);

    QLibrary m_x11;
    QLibrary m_xtst;
    OpenDisplay m_openDisplay = nullptr;
    CloseDisplay m_closeDisplay = nullptr;
    Sync m_sync = nullptr;
    DefaultRoot m_defaultRoot = nullptr;
    Translate m_translate = nullptr;
    QueryExtension m_queryExtension = nullptr;
    FakeMotion m_fakeMotion = nullptr;
    FakeButton m_fakeButton = nullptr;
    void *m_display = nullptr;
};

// Counts the mouse events Qt delivers to windows (install it on the application), so that each
// step of a pointer drive can wait until Qt has seen the previous one.
class MouseLog : public QObject
{
public:
    int presses = 0;
    int releases = 0;
    QPoint lastMove;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (qobject_cast<QWindow *>(watched)) {
            switch (event->type()) {
            case QEvent::MouseButtonPress:
                ++presses;
                break;
            case QEvent::MouseButtonRelease:
                ++releases;
                break;
            case QEvent::MouseMove:
                lastMove = static_cast<QMouseEvent *>(event)->globalPos();
                break;
            default:
                break;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};
