// The runtime the program runs on: Qt dialogs, the system clock, the real screen.
#pragma once

#include "gui/runtime.h"

class QtRuntime : public Runtime {
  public:
    MsgAnswer MsgBox(const QString& prompt, MsgStyle style, const QString& title) override;
    void Beep() override;
    QDateTime Now() override;
    int ScreenWidthTwips() override;
    void SetMousePointer(MousePointer pointer) override;
    [[noreturn]] void End() override;

  private:
    bool hourglass = false;
};
