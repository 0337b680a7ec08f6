#pragma once
// The services the user interface supplies to the document and the edit
// commands. The core only sees these interfaces; app/ and cli/ provide real
// implementations, RecordingServices.h provides fakes for tests.
#include <optional>
#include <string>

namespace zok2 {

// Texts passed to the message box are UTF-8 (the program's own messages and file names).
class IMessageBox {
public:
    enum class Answer { Yes, No, Cancel };
    virtual ~IMessageBox() = default;
    // A modal message with a single OK button, captioned with the application title.
    virtual void Show(const std::string& text) = 0;
    // A modal question with Yes, No and Cancel.
    virtual Answer Ask(const std::string& text) = 0;
};

class IWaitCursor {
public:
    virtual ~IWaitCursor() = default;
    virtual void Begin() = 0;
    virtual void End() = 0;
};

class IKeyState {
public:
    virtual ~IKeyState() = default;
    virtual bool IsControlDown() const = 0;
};

// Plain text in code page 932, as the platform clipboard of the original carried it.
class IClipboard {
public:
    virtual ~IClipboard() = default;
    // False when the clipboard cannot be opened.
    virtual bool SetText(const std::string& sjisText) = 0;
    // False when the clipboard cannot be opened or holds no plain text.
    virtual bool GetText(std::string& sjisText) = 0;
};

// Definition names are Shift-JIS like every other definition text, while the
// file system names files in its own encoding (UTF-8 here). This converts between them.
class IFileNameCodec {
public:
    virtual ~IFileNameCodec() = default;
    // Nothing when the name has a character Shift-JIS cannot write.
    virtual std::optional<std::string> ToSjis(const std::string& fileSystemName) const = 0;
    virtual std::string ToFileSystem(const std::string& sjisName) const = 0;
};

// Shows the wait cursor for the lifetime of the object.
class WaitCursorScope {
public:
    explicit WaitCursorScope(IWaitCursor& cursor) : m_cursor(cursor) { m_cursor.Begin(); }
    ~WaitCursorScope() { m_cursor.End(); }
    WaitCursorScope(const WaitCursorScope&) = delete;
    WaitCursorScope& operator=(const WaitCursorScope&) = delete;

private:
    IWaitCursor& m_cursor;
};

// Everything the document needs from outside. Each pointer may be left null:
// the document then uses a silent stand-in (no UI, Ctrl never held, identity names).
struct Services {
    IMessageBox* messageBox = nullptr;
    IWaitCursor* waitCursor = nullptr;
    IKeyState* keyState = nullptr;
    IFileNameCodec* fileNames = nullptr;
};

}  // namespace zok2
