// The services every window relies on (dialogs, clock, screen, program end), behind one
// interface so that tests can script them.
#pragma once

#include <QDateTime>
#include <QString>

// Message-box styles and answers, as the windows name them.
namespace MsgStyle {
constexpr int Critical = 16;      // stop icon, OK
constexpr int Information = 64;   // information icon, OK
constexpr int YesNoQuestion = 36; // question icon, Yes and No
} // namespace MsgStyle

namespace MsgAnswer {
constexpr int Ok = 1;
constexpr int Yes = 6;
constexpr int No = 7;
} // namespace MsgAnswer

namespace MsgTitle {
inline const QString Error = QStringLiteral(" Error ");
inline const QString Query = QStringLiteral("Query");
} // namespace MsgTitle

namespace MousePointer {
constexpr int Default = 0;
constexpr int Hourglass = 11;
} // namespace MousePointer

class Runtime {
  public:
    virtual ~Runtime() = default;

    // Modal; returns MsgAnswer::Ok, Yes or No.
    virtual int MsgBox(const QString& prompt, int style, const QString& title) = 0;
    virtual void Beep() = 0;
    virtual QDateTime Now() = 0;
    // The folder of the executable, without a trailing separator.
    virtual QString AppPath() = 0;
    virtual int ScreenWidthTwips() = 0;
    virtual void SetMousePointer(int pointer) = 0;
    // Ends the program at once: no window's close handler runs afterwards. The real
    // runtime never returns; a test double records the end and returns, so callers
    // must return straight after calling it.
    virtual void End() = 0;
};

// The runtime in use; the program installs the Qt one, tests a scripted double.
Runtime& Rt();
void SetRuntime(Runtime* runtime);

// A message box as the windows hold it: prompt, style and title.
struct BoxMessage {
    QString prompt;
    int style;
    QString title;
};

inline int ShowBox(const BoxMessage& box) {
    return Rt().MsgBox(box.prompt, box.style, box.title);
}
