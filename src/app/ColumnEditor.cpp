#include "app/ColumnEditor.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>
#include <algorithm>

#include "gridwidget/CellMarks.h"
#include "app/SetCheckList.h"
#include "binary/BinaryLoader.h"
#include "binary/CellLayout.h"
#include "binary/ValueCodec.h"
#include "definitions/ColumnParser.h"
#include "document/CZOKDoc.h"
#include "document/SectionGrid.h"
#include "framework/FileSystem.h"
#include "qt/Language.h"
#include "qt/SjisCodec.h"
#include "saving/SettingsWriter.h"
#include "text/SjisText.h"
#include "text/Translate.h"
#include "view/CZOKView.h"
#include "view/SectionTabs.h"

namespace zok2 {

// The table as the fields would read it: the changed column decoded from the
// file as it is drawn (only the cells on screen), the others as the document
// shows them.
class ColumnPreviewSource : public ICellTextSource {
public:
    ColumnPreviewSource(const CZOKDoc& doc, std::vector<int> documentColumn, int edited, std::optional<ColumnDefinition> definition,
                        DefinitionTables shown)
        : m_doc(doc), m_documentColumn(std::move(documentColumn)), m_edited(edited), m_shown(std::move(shown))
    {
        if (definition) {
            m_definition = std::move(*definition);
            m_layout = std::make_unique<ColumnLayout>(m_definition);
            m_codec = std::make_unique<ColumnCodec>(m_definition, &m_shown);
        }
    }

    std::string DisplayText(int section, int column, int row) const override
    {
        if (column == m_edited && m_codec) {
            if (row < 0 || row >= m_codec->RowCount()) return "--";
            FileBytes bytes{m_doc};
            return m_codec->DisplayText(DecodeCell(*m_layout, bytes, m_layout->Offset(row), m_layout->BitIn(row)));
        }
        const int own = column >= 0 && static_cast<std::size_t>(column) < m_documentColumn.size() ? m_documentColumn[static_cast<std::size_t>(column)] : -1;
        return own >= 0 ? m_doc.DisplayText(section, own, row) : std::string("--");
    }
    std::string RowLabelText(int section, int row) const override { return m_doc.RowLabelText(section, row); }
    int Alignment() const { return m_codec ? m_codec->Alignment() : 7; }

private:
    // The opened file's bytes, read where a cell asks (bytes past its end read as 0).
    struct FileBytes {
        const CZOKDoc& doc;
        std::uint8_t At(std::int64_t offset) const
        {
            const std::string b = offset < 0 ? std::string() : doc.ReadOpenedBytes(offset, 1);
            return b.empty() ? 0 : static_cast<std::uint8_t>(b[0]);
        }
        std::uint32_t LittleEndian(std::int64_t offset, int n) const
        {
            const std::string b = offset < 0 ? std::string() : doc.ReadOpenedBytes(offset, static_cast<std::size_t>(n));
            std::uint32_t v = 0;
            for (std::size_t i = 0; i < b.size(); ++i) v |= static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[i])) << (8 * i);
            return v;
        }
    };

    const CZOKDoc& m_doc;
    std::vector<int> m_documentColumn;  // per preview column, the document's, or -1
    int m_edited;
    DefinitionTables m_shown;  // the changed column's value list, resolved
    ColumnDefinition m_definition;
    std::unique_ptr<ColumnLayout> m_layout;
    std::unique_ptr<ColumnCodec> m_codec;
};

namespace {

// Which field a problem of the line is about.
int FieldOf(sets::ProblemKind kind)
{
    using K = sets::ProblemKind;
    switch (kind) {
    case K::NoAddress: return ColumnEditor::kAddress;
    case K::NoCaption: return ColumnEditor::kCaption;
    case K::SizeOutOfRange:
    case K::BitOutOfRange: return ColumnEditor::kSize;
    case K::BitStrideOnByteColumn: return ColumnEditor::kStride;
    case K::RowsOutOfRange: return ColumnEditor::kRows;
    case K::UnknownDisplay:
    case K::ListDisplayWithoutList: return ColumnEditor::kDisplay;
    case K::LimitOnBitColumn:
    case K::MaskTooLong:
    case K::MaskWithoutBits:
    case K::RangeMinAboveMax:
    case K::LimitNotMaskOrRange: return ColumnEditor::kLimit;
    case K::WidthOutOfRange: return ColumnEditor::kWidth;
    case K::ItemWithoutBlank:
    case K::SameValueTwice:
    case K::MissingRowNameFile:
    case K::TextAfterTenthField: return ColumnEditor::kList;
    default: return -1;
    }
}

// The value list items of `items` with every "name.idn" replaced by that table's row labels.
TextList Resolved(const CZOKDoc& doc, const TextList& items)
{
    TextList out;
    for (std::string_view item : items) {
        if (!text::EndsWith(item, ".idn")) {
            out.push_back(item);
            continue;
        }
        const std::string_view name = item.substr(0, item.size() - 4);
        for (std::size_t i = 0; i < doc.definitionNames.size() && i < doc.lists.size(); ++i) {
            if (doc.definitionNames[i] != name) continue;
            for (std::string_view label : doc.lists[i]) out.push_back(label);
            break;
        }
    }
    return out;
}

}  // namespace

ColumnEditor::ColumnEditor(CZOKDoc& doc, CZOKView& view, QWidget* parent) : QDialog(parent), m_doc(doc), m_view(view)
{
    setWindowTitle(T("ColumnEditor", "列の定義"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    static const char* const labels[kFields] = {
        ZOK2_NOOP("ColumnEditor", "アドレス(&A) (16進)"), ZOK2_NOOP("ColumnEditor", "見出し(&C)"),
        ZOK2_NOOP("ColumnEditor", "サイズ(&S)"),          ZOK2_NOOP("ColumnEditor", "間隔(&I) (16進)"),
        ZOK2_NOOP("ColumnEditor", "行数(&R)"),            ZOK2_NOOP("ColumnEditor", "表示(&D)"),
        ZOK2_NOOP("ColumnEditor", "制限(&L)"),            ZOK2_NOOP("ColumnEditor", "幅(&W)"),
        ZOK2_NOOP("ColumnEditor", "説明(&E)"),            ZOK2_NOOP("ColumnEditor", "リスト(&V)")};
    static const char* const hints[kFields] = {
        ZOK2_NOOP("ColumnEditor", "例: 0100"), ZOK2_NOOP("ColumnEditor", "必須"),
        ZOK2_NOOP("ColumnEditor", "1 から 4（バイト）、.0 から .7（ビット）。空なら 1"),
        ZOK2_NOOP("ColumnEditor", "次の行までのバイト数。空ならサイズ"), ZOK2_NOOP("ColumnEditor", "空なら行の名前の数"),
        ZOK2_NOOP("ColumnEditor", "16、10、-10（空）、0（リスト）"), ZOK2_NOOP("ColumnEditor", "最小|最大（16進）、またはマスク .FF"),
        ZOK2_NOOP("ColumnEditor", "空なら自動"), ZOK2_NOOP("ColumnEditor", "\\n で改行"),
        ZOK2_NOOP("ColumnEditor", "0 名前|1 名前、または 名前.idn")};
    for (int f = 0; f < kFields; ++f) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QStringLiteral("field%1").arg(f));
        edit->setPlaceholderText(T("ColumnEditor", hints[f]));
        connect(edit, &QLineEdit::textChanged, this, [this] {
            if (!m_filling) Update();
        });
        m_fields[static_cast<std::size_t>(f)] = edit;
        form->addRow(T("ColumnEditor", labels[f]), edit);
    }
    layout->addLayout(form);
    m_note = new QLabel(this);
    m_note->setWordWrap(true);
    m_note->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_note);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_add = buttons->addButton(T("ColumnEditor", "追加(&N)"), QDialogButtonBox::ActionRole);
    m_remove = buttons->addButton(T("ColumnEditor", "削除(&X)"), QDialogButtonBox::ActionRole);
    layout->addWidget(buttons);
    connect(m_add, &QPushButton::clicked, this, [this] { AddColumn(); });
    connect(m_remove, &QPushButton::clicked, this, [this] { RemoveColumn(); });
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (Write()) accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    resize(520, sizeHint().height());
}

ColumnEditor::~ColumnEditor() = default;

bool ColumnEditor::Reset()
{
    m_section = m_view.CurrentSection();
    m_column = m_view.GridWidget().CurrentColumn() - 1;
    if (m_section < 0 || m_doc.IsCompressedSection(m_section) || m_column < 0 ||
        static_cast<std::size_t>(m_column) >= m_doc.sections[static_cast<std::size_t>(m_section)].size()) {
        return false;
    }
    ColumnDefinition d = m_doc.sections[static_cast<std::size_t>(m_section)][static_cast<std::size_t>(m_column)];
    m_comment = d[ColumnField::comment];
    d[ColumnField::comment].clear();
    const std::string line = WrittenColumnLine(d, m_doc.RowLabels(m_section).size(), m_doc);
    // The written line's ten fields: nine up to a comma, the list the rest.
    std::string rest = line;
    m_filling = true;
    for (int f = 0; f < kFields; ++f) {
        const std::size_t comma = f < kFields - 1 ? rest.find(',') : std::string::npos;
        m_fields[static_cast<std::size_t>(f)]->setText(SjisToQString(rest.substr(0, comma)));
        m_fields[static_cast<std::size_t>(f)]->setEnabled(true);
        rest = comma == std::string::npos ? std::string() : rest.substr(comma + 1);
    }
    m_filling = false;
    m_change = sets::ColumnChange::Replace;
    m_add->setEnabled(true);
    m_remove->setEnabled(true);
    Update();
    return true;
}

void ColumnEditor::AddColumn()
{
    if (m_section < 0) return;
    const ColumnDefinition& d = m_doc.sections[static_cast<std::size_t>(m_section)][static_cast<std::size_t>(m_column)];
    const ColumnLayout layout(d);
    // Right after the current column, in the same records.
    const std::uint32_t next = layout.address + (layout.kind == ColumnLayout::Kind::Bytes ? static_cast<std::uint32_t>(layout.byteCount) : 1u);
    m_filling = true;
    for (QLineEdit* edit : m_fields) {
        edit->clear();
        edit->setEnabled(true);
    }
    FieldEdit(kAddress).setText(QString::fromStdString(text::FormatHex(next - m_doc.addressCorrection)));
    if (!d.HasBitStride() && layout.stride != 1) FieldEdit(kStride).setText(QString::fromStdString(d[ColumnField::stride]));
    if (text::ReadDec(d[ColumnField::rowCount]) != static_cast<std::int64_t>(m_doc.RowLabels(m_section).size())) {
        FieldEdit(kRows).setText(QString::fromStdString(d[ColumnField::rowCount]));
    }
    m_filling = false;
    m_comment.clear();
    m_change = sets::ColumnChange::InsertAfter;
    m_add->setEnabled(false);
    m_remove->setEnabled(false);
    FieldEdit(kCaption).setFocus();
    Update();
}

void ColumnEditor::RemoveColumn()
{
    if (m_section < 0) return;
    m_change = sets::ColumnChange::Remove;
    for (QLineEdit* edit : m_fields) edit->setEnabled(false);
    m_add->setEnabled(false);
    m_remove->setEnabled(false);
    Update();
}

std::string ColumnEditor::Line() const
{
    std::string line;
    for (int f = 0; f < kFields; ++f) {
        if (f > 0) line += ',';
        line += QStringToSjis(m_fields[static_cast<std::size_t>(f)]->text());
    }
    if (!m_comment.empty() && line.back() == '/') line += ',';
    return line + m_comment;
}

void ColumnEditor::Update()
{
    if (m_section < 0) return;
    const std::size_t labelCount = m_doc.RowLabels(m_section).size();
    const Section& own = m_doc.sections[static_cast<std::size_t>(m_section)];
    QStringList notes;
    std::array<int, kFields> marks{};  // 0 none, 1 warning, 2 error
    bool blocked = false;
    std::optional<ColumnDefinition> parsed;
    DefinitionTables tables;
    if (m_change != sets::ColumnChange::Remove) {
        // What the line cannot carry: a comma splits a field, and the file is Shift-JIS.
        for (int f = 0; f < kFields; ++f) {
            const QString text = m_fields[static_cast<std::size_t>(f)]->text();
            if (text.contains(QLatin1Char(','))) {
                notes << T("ColumnEditor", "エラー: 「,」は区切りなので使えません");
                marks[static_cast<std::size_t>(f)] = 2;
            } else if (!Utf8ToSjisExactly(text.toStdString())) {
                notes << T("ColumnEditor", "エラー: Shift-JIS で書けない文字があります");
                marks[static_cast<std::size_t>(f)] = 2;
            }
        }
        // A size with more after its number reads as the number, but the stride the
        // writer leaves out would then read that text: only a clean size is taken.
        static const QRegularExpression cleanSize(QStringLiteral("^([1-4]|\\.[0-7])?$"));
        if (!cleanSize.match(FieldEdit(kSize).text().trimmed()).hasMatch() || FieldEdit(kSize).text() != FieldEdit(kSize).text().trimmed()) {
            notes << T("ColumnEditor", "エラー: %1").arg(T("ColumnEditor", "1 から 4（バイト）、.0 から .7（ビット）。空なら 1"));
            marks[kSize] = 2;
        }
        blocked = std::find(marks.begin(), marks.end(), 2) != marks.end();
        const std::string line = Line();
        sets::SetCheckInput input;
        input.folder = m_doc.definitionFolder;
        input.addressCorrection = m_doc.addressCorrection;
        if (m_doc.FileSize() > 0) input.fileSize = m_doc.FileSize();
        input.toSjis = [this](const std::string& name) { return m_doc.FileNames().ToSjis(name); };
        const std::string path = m_doc.DefinitionPath(static_cast<std::size_t>(m_section), ".ini");
        m_problems = sets::CheckColumnLine(input, path.substr(path.find_last_of("/\\") + 1), line, labelCount);
        for (const sets::SetProblem& p : m_problems) {
            const bool error = p.severity == sets::Severity::Error;
            notes << (error ? T("ColumnEditor", "エラー: %1") : T("ColumnEditor", "警告: %1")).arg(SetProblemWhat(p));
            blocked = blocked || error;
            const int f = FieldOf(p.kind);
            if (f >= 0) marks[static_cast<std::size_t>(f)] = std::max(marks[static_cast<std::size_t>(f)], error ? 2 : 1);
        }
        tables.addressCorrection = m_doc.addressCorrection;
        parsed = ParseColumnLine(line, labelCount, 0, tables);
        if (!parsed) blocked = true;
    } else {
        m_problems.clear();
    }
    // A warning tinted amber, an error red, each as far as the theme's text still reads on it.
    const QColor base = palette().color(QPalette::Base), text = palette().color(QPalette::Text);
    const QString looks[3] = {QString(), QStringLiteral("QLineEdit { background: %1; }").arg(ReadableTint(base, QColor(255, 200, 0), 0.3, text).name()),
                              QStringLiteral("QLineEdit { background: %1; }").arg(ReadableTint(base, QColor(255, 60, 60), 0.3, text).name())};
    for (int f = 0; f < kFields; ++f) m_fields[static_cast<std::size_t>(f)]->setStyleSheet(looks[marks[static_cast<std::size_t>(f)]]);
    if (m_change == sets::ColumnChange::Remove) notes << T("ColumnEditor", "OK でこの列を列の定義ファイルから取り除きます");
    if (m_change == sets::ColumnChange::InsertAfter) notes << T("ColumnEditor", "OK で新しい列を今の列の後ろに加えます");
    notes.removeDuplicates();
    m_note->setText(notes.join(QLatin1Char('\n')));
    m_ok->setEnabled(!blocked);

    // The table as the reader would read it with the line: a dropped line is no column.
    Section columns = own;
    std::vector<int> documentColumn(own.size());
    for (std::size_t c = 0; c < own.size(); ++c) documentColumn[c] = static_cast<int>(c);
    int edited = -1;
    const auto at = static_cast<std::ptrdiff_t>(m_column);
    if (m_change == sets::ColumnChange::Replace) {
        if (parsed) {
            columns[static_cast<std::size_t>(m_column)] = *parsed;
            documentColumn[static_cast<std::size_t>(m_column)] = -1;
            edited = m_column;
        } else {
            columns.erase(columns.begin() + at);
            documentColumn.erase(documentColumn.begin() + at);
        }
    } else if (m_change == sets::ColumnChange::InsertAfter && parsed) {
        columns.insert(columns.begin() + at + 1, *parsed);
        documentColumn.insert(documentColumn.begin() + at + 1, -1);
        edited = m_column + 1;
    } else if (m_change == sets::ColumnChange::Remove) {
        columns.erase(columns.begin() + at);
        documentColumn.erase(documentColumn.begin() + at);
    }
    DefinitionTables shown;
    std::optional<ColumnDefinition> definition;
    if (edited >= 0) {
        definition = columns[static_cast<std::size_t>(edited)];
        const int list = text::ReadDec((*definition)[ColumnField::listIndex]);
        if (!(*definition)[ColumnField::listIndex].empty() && list >= 0 && static_cast<std::size_t>(list) < tables.lists.size()) {
            shown.lists.push_back(Resolved(m_doc, tables.lists[static_cast<std::size_t>(list)]));
            (*definition)[ColumnField::listIndex] = "0";
        }
    }
    auto source = std::make_unique<ColumnPreviewSource>(m_doc, documentColumn, edited, definition, std::move(shown));
    std::vector<int> aligns;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        aligns.push_back(documentColumn[c] >= 0 ? m_doc.CodecOf(m_section, documentColumn[c]).Alignment() : source->Alignment());
    }
    const int current = edited >= 0 ? edited + 1 : std::min<int>(m_column + 1, static_cast<int>(columns.size()));
    m_view.PreviewColumns(columns, aligns, *source, std::max(current, 1));
    m_preview = std::move(source);  // the grid reads the new source from now on
}

bool ColumnEditor::Write()
{
    if (m_section < 0) return false;
    const std::string path = m_doc.DefinitionPath(static_cast<std::size_t>(m_section), ".ini");
    std::string content;
    if (!fs::ReadFile(path, content)) {
        m_note->setText(T("ColumnEditor", "列の定義ファイルを読めません: %1").arg(FileNameToQString(path)));
        return false;
    }
    // The column must still be the one read: a file changed since is not written blind.
    DefinitionTables now;
    now.addressCorrection = m_doc.addressCorrection;
    now.lists.push_back(m_doc.RowLabels(m_section));
    const Section onDisk = ParseColumnFile(content, 0, now);
    const ColumnDefinition& own = m_doc.sections[static_cast<std::size_t>(m_section)][static_cast<std::size_t>(m_column)];
    if (static_cast<std::size_t>(m_column) >= onDisk.size() || onDisk[static_cast<std::size_t>(m_column)][ColumnField::address] != own[ColumnField::address] ||
        onDisk[static_cast<std::size_t>(m_column)][ColumnField::caption] != own[ColumnField::caption]) {
        m_note->setText(T("ColumnEditor", "列の定義ファイルが読み込んだ後に変わっています。設定を読み直してから変えてください。"));
        return false;
    }
    std::string line;
    if (m_change != sets::ColumnChange::Remove) {
        DefinitionTables tables;
        tables.addressCorrection = m_doc.addressCorrection;
        const std::optional<ColumnDefinition> parsed = ParseColumnLine(Line(), m_doc.RowLabels(m_section).size(), 0, tables);
        if (!parsed) return false;
        line = WrittenColumnLine(*parsed, m_doc.RowLabels(m_section).size(), tables);
    }
    const std::optional<std::string> changed = sets::ChangeColumnLine(content, m_change, m_column, line);
    std::string reason;
    if (!changed || !fs::WriteFileAtomically(path, *changed, &reason)) {
        m_note->setText(T("ColumnEditor", "列の定義ファイルに書けません: %1").arg(QString::fromStdString(reason)));
        return false;
    }
    return true;
}

void ColumnEditor::done(int result)
{
    // The grid shows the document's own definitions again before the preview's source goes.
    m_view.EndPreview();
    m_preview.reset();
    m_section = -1;
    QDialog::done(result);
}

}  // namespace zok2
