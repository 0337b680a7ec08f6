#include "app/ImportReport.h"

#include "qt/SjisCodec.h"
#include "text/SjisText.h"
#include "text/Translate.h"

namespace zok2 {

namespace {

using exchange::ImportProblem;
using exchange::ImportRefusal;

std::string Hex(std::uint32_t v) { return "0X" + text::FormatHex(v); }
std::string Count(std::size_t n) { return std::to_string(n); }

std::string LabelList(const std::vector<std::string>& labels, std::size_t count)
{
    std::string list;
    for (const std::string& label : labels) list += (list.empty() ? "「" : "、「") + SjisToUtf8(label) + "」";
    if (count > labels.size()) list += Fill(Tr("Import", "、ほか %1 行"), {Count(count - labels.size())});
    return list;
}

}  // namespace

std::string ImportProblemText(const ImportProblem& p)
{
    std::string why;
    switch (p.kind) {
    case ImportProblem::Kind::Empty: why = Tr("Import", "値のあるセルが空です"); break;
    case ImportProblem::Kind::NotANumber: why = Tr("Import", "数値ではありません"); break;
    case ImportProblem::Kind::Fraction: why = Tr("Import", "小数です（整数を入れてください）"); break;
    case ImportProblem::Kind::Separators: why = Tr("Import", "桁区切りのある数値です（区切らずに書いてください）"); break;
    case ImportProblem::Kind::FullWidth: why = Tr("Import", "全角の数字です（半角で書いてください）"); break;
    case ImportProblem::Kind::TooBig: why = Fill(Tr("Import", "列の大きさ（%1 バイト）に入りません"), {Count(static_cast<std::size_t>(p.byteSize))}); break;
    case ImportProblem::Kind::OutsideRange: why = Fill(Tr("Import", "列の範囲 %1～%2 の外です"), {Hex(p.low), Hex(p.high)}); break;
    case ImportProblem::Kind::OutsideMask: why = Fill(Tr("Import", "列のマスク %1 の外のビットがあります"), {Hex(p.high)}); break;
    case ImportProblem::Kind::NotABit: why = Tr("Import", "ビットの列には 0 か 1 を入れます"); break;
    case ImportProblem::Kind::UnknownLabel: why = Tr("Import", "値リストにない名前です"); break;
    case ImportProblem::Kind::AmbiguousLabel: why = Tr("Import", "値リストの複数の項目にある名前です"); break;
    case ImportProblem::Kind::NoValue: why = Tr("Import", "値のないセル（--）です"); break;
    case ImportProblem::Kind::OutsideColumns: why = Tr("Import", "表の最後の列より右にあります"); break;
    }
    if (p.kind == ImportProblem::Kind::OutsideColumns) {
        return Fill(Tr("Import", "行「%1」・最後の列の右の「%2」: %3"), {SjisToUtf8(p.label), SjisToUtf8(p.text), why});
    }
    return Fill(Tr("Import", "行「%1」・列「%2」の「%3」: %4"), {SjisToUtf8(p.label), SjisToUtf8(p.caption), SjisToUtf8(p.text), why});
}

std::string ImportRefusalText(const ImportRefusal& r)
{
    const std::string separator = r.separator.empty() ? std::string() : Fill(Tr("Import", "（セルの区切りがタブでなく「%1」のようです）"), {r.separator});
    switch (r.kind) {
    case ImportRefusal::Kind::None: return std::string();
    case ImportRefusal::Kind::NoCaptionRow: return Tr("Import", "見出しの行がありません");
    case ImportRefusal::Kind::ColumnCount:
        return Fill(Tr("Import", "見出しの行が %1 列で、表は %2 列です"), {Count(r.fileColumns), Count(r.tableColumns)}) + separator;
    case ImportRefusal::Kind::Caption:
        if (r.column == 0) return Fill(Tr("Import", "見出しの行の最初のセルが「%1」です（空のはずです）"), {SjisToUtf8(r.fileCaption)}) + separator;
        return Fill(Tr("Import", "%1 列目の見出しがファイルでは「%2」、表では「%3」です"),
                    {Count(r.column), SjisToUtf8(r.fileCaption), SjisToUtf8(r.tableCaption)}) +
               separator;
    case ImportRefusal::Kind::Rows: {
        std::string text;
        if (r.unknownCount > 0) text = Fill(Tr("Import", "表にない行: %1"), {LabelList(r.unknownRows, r.unknownCount)});
        if (r.ambiguousCount > 0) {
            if (!text.empty()) text += "\n";
            text += Fill(Tr("Import", "複数の行に当たる名前の行: %1"), {LabelList(r.ambiguousRows, r.ambiguousCount)});
        }
        return text;
    }
    }
    return std::string();
}

std::string ImportFileProblems(const std::string& path, const exchange::TableImport& checked)
{
    std::string text = path + ":";
    if (checked.refusal.kind != ImportRefusal::Kind::None) text += "\n" + ImportRefusalText(checked.refusal);
    for (const ImportProblem& problem : checked.problems) text += "\n" + ImportProblemText(problem);
    if (checked.problemCount > checked.problems.size()) {
        text += "\n" + Fill(Tr("Import", "ほか %1 件の問題があります"), {Count(checked.problemCount - checked.problems.size())});
    }
    return text;
}

std::string ImportDoneText(const std::string& table, const exchange::TableImport& checked)
{
    std::string text = Fill(Tr("Import", "表 %1: %2 個のセルを変更しました"), {table, Count(checked.changes.size())});
    if (checked.matchedByName) text += Tr("Import", "（行は名前で照合しました）");
    if (checked.readOnly > 0) text += Fill(Tr("Import", "（読み取り専用の %1 個のセルは変えていません）"), {Count(checked.readOnly)});
    return text;
}

}  // namespace zok2
