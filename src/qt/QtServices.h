#pragma once
// The framework services on Qt: modal message boxes captioned "ZOK2", the wait
// cursor, the live modifier state, and the system clipboard carrying Unicode
// text that the core sees as Shift-JIS.
#include <functional>

#include "framework/Services.h"

class QWidget;

namespace zok2 {

inline constexpr const char* kAppTitle = "ZOK2";

class QtMessageBox : public IMessageBox {
public:
    // The window the boxes are modal to (the main frame), asked each time.
    std::function<QWidget*()> parent;
    void Show(const std::string& text) override;
    Answer Ask(const std::string& text) override;
};

class QtWaitCursor : public IWaitCursor {
public:
    void Begin() override;
    void End() override;
};

class QtKeyState : public IKeyState {
public:
    bool IsControlDown() const override;
};

class QtClipboard : public IClipboard {
public:
    bool SetText(const std::string& sjisText) override;
    bool GetText(std::string& sjisText) override;
};

}  // namespace zok2
