#pragma once
// Fakes of the UI services that record what the core asked of them.
#include <deque>
#include <string>
#include <vector>

#include "framework/Services.h"

namespace zok2 {

class RecordingMessageBox : public IMessageBox {
public:
    void Show(const std::string& text) override { shown.push_back(text); }
    Answer Ask(const std::string& text) override
    {
        asked.push_back(text);
        if (answers.empty()) return Answer::Cancel;
        Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    std::vector<std::string> shown;
    std::vector<std::string> asked;
    std::deque<Answer> answers;  // replies to Ask, in order; Cancel when used up
};

class RecordingWaitCursor : public IWaitCursor {
public:
    void Begin() override
    {
        ++begins;
        ++depth;
        if (depth > maxDepth) maxDepth = depth;
    }
    void End() override
    {
        ++ends;
        --depth;
    }
    int begins = 0, ends = 0, depth = 0, maxDepth = 0;
};

class FakeKeyState : public IKeyState {
public:
    bool IsControlDown() const override { return controlDown; }
    bool controlDown = false;
};

class RecordingClipboard : public IClipboard {
public:
    bool SetText(const std::string& sjisText) override
    {
        if (!available) return false;
        text = sjisText;
        hasText = true;
        ++sets;
        return true;
    }
    bool GetText(std::string& sjisText) override
    {
        if (!available || !hasText) return false;
        sjisText = text;
        return true;
    }
    bool available = true;
    bool hasText = false;
    std::string text;
    int sets = 0;
};

// File names are already Shift-JIS compatible (ASCII) in most tests.
class IdentityFileNameCodec : public IFileNameCodec {
public:
    std::optional<std::string> ToSjis(const std::string& name) const override { return name; }
    std::string ToFileSystem(const std::string& name) const override { return name; }
};

}  // namespace zok2
