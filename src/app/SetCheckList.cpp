#include "app/SetCheckList.h"

#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

#include "document/CZOKDoc.h"
#include "framework/AppPath.h"
#include "framework/FileSystem.h"
#include "qt/Language.h"
#include "qt/SjisCodec.h"
#include "view/CZOKView.h"

namespace zok2 {

namespace {

QString Place(const std::string& what)
{
    if (what == "bank byte") return T("SetCheck", "バンクのバイト");
    if (what == "pointer table") return T("SetCheck", "ポインタ表");
    return T("SetCheck", "辞書");
}

QString What(const sets::SetProblem& p)
{
    using sets::ProblemKind;
    const QString text = SjisToQString(p.text);
    switch (p.kind) {
    case ProblemKind::ByteOrderMark: return T("SetCheck", "バイト順マークで始まっています（Unicode のファイルで Shift-JIS ではないため、何も読まれません）");
    case ProblemKind::NotShiftJis: return T("SetCheck", "Shift-JIS の文字ではないバイトがあります");
    case ProblemKind::ColumnFileWithoutRowNames: return T("SetCheck", "対になる行名ファイル（.idn）がないため読まれません");
    case ProblemKind::NamesDifferOnlyByCase: return T("SetCheck", "%1 と大文字小文字だけが違います（Windows では同じファイルです）").arg(FileNameToQString(p.text));
    case ProblemKind::NoComma: return T("SetCheck", "コンマがないため、この行は無視されます");
    case ProblemKind::NoAddress: return T("SetCheck", "アドレスがないため、この行は捨てられます");
    case ProblemKind::NoCaption: return T("SetCheck", "見出しがないため、この行は捨てられます");
    case ProblemKind::TextAfterTenthField: return T("SetCheck", "10 番目の項目の後の文字は無視されます: %1").arg(text);
    case ProblemKind::SizeOutOfRange: return T("SetCheck", "サイズ %1 は 1～4 ではありません（%2 として読みます）").arg(text).arg(p.value);
    case ProblemKind::BitOutOfRange: return T("SetCheck", "ビット %1 は .0～.7 ではありません（.%2 として読みます）").arg(text).arg(p.value);
    case ProblemKind::BitStrideOnByteColumn: return T("SetCheck", "バイトの列にビット単位の間隔（%1）があります（サイズを使います）").arg(text);
    case ProblemKind::RowsOutOfRange: return T("SetCheck", "行数 %1 は 1～行の名前の数 %2 ではありません（%2 として読みます）").arg(text).arg(p.value);
    case ProblemKind::UnknownDisplay: return T("SetCheck", "表示 %1 は -10、0、10、16 のどれでもありません（-10 として読みます）").arg(text);
    case ProblemKind::ListDisplayWithoutList: return T("SetCheck", "表示 0（リスト）ですが値のリストがありません（-10 として読みます）");
    case ProblemKind::LimitOnBitColumn: return T("SetCheck", "ビットの列の制限（%1）は無視されます").arg(text);
    case ProblemKind::MaskTooLong: return T("SetCheck", "マスク %1 は列のサイズより長いため無視されます").arg(text);
    case ProblemKind::MaskWithoutBits: return T("SetCheck", "マスク %1 には立っているビットがありません（0 しか入力できません）").arg(text);
    case ProblemKind::RangeMinAboveMax: return T("SetCheck", "範囲 %1 の最小値が最大値より大きくなっています").arg(text);
    case ProblemKind::LimitNotMaskOrRange: return T("SetCheck", "制限 %1 はマスク（.FF）でも範囲（0|FF）でもないため無視されます").arg(text);
    case ProblemKind::WidthOutOfRange: return T("SetCheck", "幅 %1 は 1～49999 ではありません（自動の幅になります）").arg(text);
    case ProblemKind::ItemWithoutBlank: return T("SetCheck", "値のリストの項目「%1」は値の後に空白がないため捨てられます").arg(text);
    case ProblemKind::SameValueTwice: return T("SetCheck", "値のリストの項目「%1」の値はすでにあります").arg(text);
    case ProblemKind::MissingRowNameFile: return T("SetCheck", "値のリストが指す %1 は設定にありません").arg(text);
    case ProblemKind::CompressEmptyParameter: return T("SetCheck", "COMPRESS_INFO に空の項目があるため、この行は無視されます");
    case ProblemKind::CompressNotFour: return T("SetCheck", "COMPRESS_INFO の項目が %1 個です（展開には 4 個が必要なため、テーブルは展開されません）").arg(p.value);
    case ProblemKind::CompressUnknownMethod: return T("SetCheck", "COMPRESS_INFO の方式 %1 は使えません（方式は 1 だけのため、テーブルは展開されません）").arg(text);
    case ProblemKind::CompressNotFirst: return T("SetCheck", "2 つ目の COMPRESS_INFO です（ファイルの最初のものだけが使われます）");
    case ProblemKind::SameBytes: return T("SetCheck", "列「%1」（%2 行目）と同じバイトを読みます").arg(text).arg(p.value);
    case ProblemKind::ColumnPastEnd: return T("SetCheck", "ファイルの終わりを越えます（%1 バイト必要で、ファイルは %2 バイトです）").arg(p.value).arg(p.limit);
    case ProblemKind::CompressedPastEnd:
        return T("SetCheck", "COMPRESS_INFO の%1（%2）がファイルの終わり（%3 バイト）を越えています").arg(Place(p.text)).arg(p.value).arg(p.limit);
    case ProblemKind::ChecksumRuleUnusable:
        return T("SetCheck", "チェックサムの規則が使えません（%1）: %2").arg(QString::fromStdString(p.detail), text);
    }
    return QString();
}

}  // namespace

QString SetProblemWhat(const sets::SetProblem& p) { return What(p); }

QString SetProblemText(const sets::SetProblem& p)
{
    const QString severity = p.severity == sets::Severity::Error ? T("SetCheck", "エラー") : T("SetCheck", "警告");
    QString line = severity + QStringLiteral("  ") + FileNameToQString(p.file);
    if (p.line > 0) line += QStringLiteral("  ") + T("SetCheck", "%1 行目").arg(p.line);
    line += QStringLiteral("  ");
    if (!p.caption.empty()) line += T("SetCheck", "列「%1」: ").arg(SjisToQString(p.caption));
    return line + What(p);
}

SetCheckList::SetCheckList(CZOKDoc& doc, CZOKView& view, QWidget* parent) : QDialog(parent), m_doc(doc), m_view(view)
{
    setWindowTitle(T("SetCheck", "定義の検査"));
    auto* layout = new QVBoxLayout(this);
    m_summary = new QLabel(this);
    m_summary->setWordWrap(true);
    m_list = new QListWidget(this);
    layout->addWidget(m_summary);
    layout->addWidget(m_list);
    resize(720, 360);
    connect(m_list, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) { GoToListed(m_list->row(item)); });
}

void SetCheckList::Refresh()
{
    sets::SetCheckInput input;
    const bool open = m_doc.HasSections();
    if (open) {
        input.folder = m_doc.definitionFolder;
        input.addressCorrection = m_doc.addressCorrection;
        const std::int64_t size = m_doc.GetPathName().empty() ? -1 : fs::FileSize(m_doc.GetPathName());
        if (size >= 0) input.fileSize = size;
    } else {
        input.folder = SettingsFolder() + m_doc.FileNames().ToFileSystem(m_doc.Profile().GetString("Setting", "mode")) + "/";
    }
    input.toSjis = [this](const std::string& name) { return m_doc.FileNames().ToSjis(name); };
    m_problems = sets::CheckSet(input);
    m_list->clear();
    int errors = 0;
    for (const sets::SetProblem& problem : m_problems) {
        m_list->addItem(SetProblemText(problem));
        if (problem.severity == sets::Severity::Error) ++errors;
    }
    const QString folder = FileNameToQString(input.folder);
    if (m_problems.empty()) {
        m_summary->setText(T("SetCheck", "%1 に問題はありません。").arg(folder));
    } else {
        m_summary->setText(T("SetCheck", "%1: エラー %2 件、警告 %3 件。行をダブルクリックするとその表と列へ移動します。")
                               .arg(folder)
                               .arg(errors)
                               .arg(static_cast<int>(m_problems.size()) - errors));
    }
}

void SetCheckList::GoToListed(int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_problems.size()) return;
    const sets::SetProblem& problem = m_problems[static_cast<std::size_t>(index)];
    if (problem.section < 0 || !m_doc.HasTab(problem.section)) return;
    // A column selects the whole column; a line of the table as a whole its first cell.
    if (problem.column >= 0) {
        m_view.ShowHit(problem.section, 0, problem.column + 1);
    } else {
        m_view.ShowHit(problem.section, 1, 1);
    }
}

}  // namespace zok2
