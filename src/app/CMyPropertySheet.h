#pragma once
// The settings sheet: one page, "設定の選択", listing the definition sets under
// Settings/ to choose the active one. Choosing another set while a binary is
// open saves (or, as answered, drops) the present data and reloads the binary
// with the new set.
#include <QDialog>
#include <QWidget>
#include <string>
#include <vector>

class QListWidget;

namespace zok2 {

class CZOKApp;

class CMyPropertyPage1 : public QWidget {
public:
    CMyPropertyPage1(CZOKApp& app, QWidget* parent = nullptr);
    // Lists the sets, sorted, with the profile's present mode selected.
    void OnInitDialog();
    // Applies the selected set (the sheet's OK).
    void OnOK();
    const std::vector<std::string>& Names() const { return m_names; }
    QListWidget& List() { return *m_list; }

private:
    CZOKApp& m_app;
    std::vector<std::string> m_names;  // file-system names of the set folders
    QListWidget* m_list;
};

class CMyPropertySheet : public QDialog {
public:
    CMyPropertySheet(CZOKApp& app, QWidget* parent = nullptr);
    CMyPropertyPage1& Page() { return *m_page; }
    void accept() override;

private:
    CMyPropertyPage1* m_page;
};

// Makes `name` (a folder under Settings/) the active definition set and reloads
// an open binary with it, asking about unsaved data first.
void ChooseDefinitionSet(CZOKApp& app, const std::string& name);

}  // namespace zok2
