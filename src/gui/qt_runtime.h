// The runtime the program runs on: Qt dialogs, the system clock, the real screen.
#pragma once

#include "gui/runtime.h"

#include <functional>

class QtRuntime : public Runtime {
  public:
    MsgAnswer MsgBox(const QString& prompt, MsgStyle style, const QString& title) override;
    void Beep() override;
    QDateTime Now() override;
    int ScreenWidthTwips() override;
    void SetMousePointer(MousePointer pointer) override;
    [[noreturn]] void End() override;

    // What End() does: the run's own end, which ends the process and never returns.
    void SetEnding(std::function<void()> ending) { this->ending = std::move(ending); }

  private:
    std::function<void()> ending;
    bool hourglass = false;
};
