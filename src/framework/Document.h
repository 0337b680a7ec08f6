#pragma once
// The document half of the platform's document/view framework: title, path
// name, modified flag, attached views, the open/save entry points and the
// save-modified prompt.
#include <functional>
#include <string>
#include <vector>

#include "framework/Services.h"

namespace zok2 {

class CDocument;

class CView {
public:
    virtual ~CView() = default;
    // Called by CDocument::UpdateAllViews.
    virtual void OnUpdate(CView* sender, long hint) = 0;
};

class CDocument {
public:
    explicit CDocument(Services services = {});
    virtual ~CDocument() = default;
    CDocument(const CDocument&) = delete;
    CDocument& operator=(const CDocument&) = delete;

    const std::string& GetTitle() const { return m_title; }
    void SetTitle(const std::string& title);
    const std::string& GetPathName() const { return m_pathName; }
    // Sets the path name and, like the framework, the title (the file's name
    // with extension). The recent-file list is the application's business.
    void SetPathName(const std::string& path);
    virtual bool IsModified() const { return m_modified; }
    virtual void SetModifiedFlag(bool modified = true);
    // Called whenever the title or the modified flag changes (the frame's caption follows it).
    void SetTitleObserver(std::function<void()> observer) { m_titleObserver = std::move(observer); }

    void AddView(CView* view);
    void RemoveView(CView* view);
    const std::vector<CView*>& Views() const { return m_views; }
    void UpdateAllViews(CView* sender, long hint = 0);

    // Framework base open: checks that the file can still be opened and clears the modified flag.
    virtual bool OnOpenDocument(const std::string& path);
    virtual bool OnSaveDocument(const std::string& path) = 0;

    // Asks whether to save a modified document: Yes saves, No discards, Cancel
    // (or a failed save) returns false.
    bool SaveModified();
    // The Save command: saves to the present path and records it.
    virtual bool DoFileSave();
    // The Save As command with the chosen path.
    bool DoSaveAs(const std::string& path);

    IMessageBox& MessageBox() const;
    IWaitCursor& WaitCursor() const;
    IKeyState& KeyState() const;
    const IFileNameCodec& FileNames() const;
    void SetServices(const Services& services) { m_services = services; }
    const Services& ServicesInUse() const { return m_services; }

private:
    std::string m_title;
    std::string m_pathName;
    bool m_modified = false;
    std::vector<CView*> m_views;
    Services m_services;
    std::function<void()> m_titleObserver;
};

}  // namespace zok2
