#include "framework/Document.h"

#include <algorithm>

#include "framework/AppPath.h"
#include "framework/File.h"
#include "text/Translate.h"

namespace zok2 {

namespace {
class SilentMessageBox : public IMessageBox {
public:
    void Show(const std::string&) override {}
    Answer Ask(const std::string&) override { return Answer::Cancel; }
};
class NoWaitCursor : public IWaitCursor {
public:
    void Begin() override {}
    void End() override {}
};
class NoKeys : public IKeyState {
public:
    bool IsControlDown() const override { return false; }
};
class SameNames : public IFileNameCodec {
public:
    std::optional<std::string> ToSjis(const std::string& name) const override { return name; }
    std::string ToFileSystem(const std::string& name) const override { return name; }
};
SilentMessageBox g_silentMessageBox;
NoWaitCursor g_noWaitCursor;
NoKeys g_noKeys;
SameNames g_sameNames;
}  // namespace

CDocument::CDocument(Services services) : m_services(services) {}

void CDocument::SetPathName(const std::string& path)
{
    m_pathName = path;
    SetTitle(GetAppPath(PathPart::NameWithExtension, path));
}

void CDocument::SetTitle(const std::string& title)
{
    const bool changed = title != m_title;
    m_title = title;
    if (changed && m_titleObserver) m_titleObserver();
}

void CDocument::SetModifiedFlag(bool modified)
{
    const bool changed = modified != m_modified;
    m_modified = modified;
    if (changed && m_titleObserver) m_titleObserver();
}

void CDocument::AddView(CView* view)
{
    if (view && std::find(m_views.begin(), m_views.end(), view) == m_views.end()) m_views.push_back(view);
}

void CDocument::RemoveView(CView* view) { m_views.erase(std::remove(m_views.begin(), m_views.end(), view), m_views.end()); }

void CDocument::UpdateAllViews(CView* sender, long hint)
{
    for (CView* view : m_views) {
        if (view != sender) view->OnUpdate(sender, hint);
    }
}

bool CDocument::OnOpenDocument(const std::string& path)
{
    fs::File file;
    if (!file.Open(path, fs::File::Mode::Read)) {
        MessageBox().Show(ZOK2_NOOP("Message", "ファイルが開けません"));
        return false;
    }
    SetModifiedFlag(false);
    return true;
}

bool CDocument::SaveModified()
{
    if (!IsModified()) return true;
    std::string name = m_title.empty() ? Tr("Message", "無題") : GetAppPath(PathPart::NameWithExtension, m_pathName);
    switch (MessageBox().Ask(Fill(Tr("Message", "%1 への変更を保存しますか?"), {name}))) {
    case IMessageBox::Answer::Yes:
        return DoFileSave();
    case IMessageBox::Answer::No:
        return true;
    case IMessageBox::Answer::Cancel:
        break;
    }
    return false;
}

bool CDocument::DoFileSave()
{
    if (m_pathName.empty()) return false;
    std::string path = m_pathName;
    if (!OnSaveDocument(path)) return false;
    SetPathName(path);
    return true;
}

bool CDocument::DoSaveAs(const std::string& path)
{
    if (path.empty()) return false;
    if (!OnSaveDocument(path)) return false;
    SetPathName(path);
    return true;
}

IMessageBox& CDocument::MessageBox() const { return m_services.messageBox ? *m_services.messageBox : g_silentMessageBox; }
IWaitCursor& CDocument::WaitCursor() const { return m_services.waitCursor ? *m_services.waitCursor : g_noWaitCursor; }
IKeyState& CDocument::KeyState() const { return m_services.keyState ? *m_services.keyState : g_noKeys; }
const IFileNameCodec& CDocument::FileNames() const
{
    return m_services.fileNames ? *m_services.fileNames : g_sameNames;
}

}  // namespace zok2
