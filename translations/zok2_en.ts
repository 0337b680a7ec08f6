<?xml version='1.0' encoding='utf-8'?>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>AboutBox</name>
    <message>
        <source>ZOKのﾊﾞｰｼﾞｮﾝ情報</source>
        <translation>About ZOK</translation>
    </message>
    <message>
        <source>プロファイル: %1
定義セット: %2</source>
        <translation>Profile: %1
Definition sets: %2</translation>
    </message>
</context>
<context>
    <name>App</name>
    <message>
        <source>比較元を開く</source>
        <translation>Open Reference</translation>
    </message>
    <message>
        <source>BPS（どの大きさのファイルにも、検査値つき）</source>
        <translation>BPS (files of any size, with checksums)</translation>
    </message>
    <message>
        <source>IPS（16 MiB まで）</source>
        <translation>IPS (files up to 16 MiB)</translation>
    </message>
    <message>
        <source>パッチの形式:</source>
        <translation>Patch format:</translation>
    </message>
    <message>
        <source>パッチの形式（%1）:</source>
        <translation>Patch format (%1):</translation>
    </message>
    <message>
        <source>パッチの作成</source>
        <translation>Create Patch</translation>
    </message>
    <message>
        <source>パッチの適用</source>
        <translation>Apply Patch</translation>
    </message>
    <message>
        <source>パッチを適用したファイルの保存先</source>
        <translation>Save the patched file as</translation>
    </message>
    <message>
        <source>書き出し先のフォルダ</source>
        <translation>Folder to export to</translation>
    </message>
    <message>
        <source>読み込む表</source>
        <translation>Tables to import</translation>
    </message>
    <message>
        <source>開く</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>名前を付けて保存</source>
        <translation>Save As</translation>
    </message>
    <message>
        <source>IPS は 16 MiB までのファイルにしか使えません</source>
        <translation>IPS holds files of up to 16 MiB only</translation>
    </message>
    <message>
        <source>この名前の表はありません</source>
        <translation>there is no table of this name</translation>
    </message>
    <message>
        <source>圧縮された表は読み込めません</source>
        <translation>a compressed table cannot be imported</translation>
    </message>
    <message>
        <source>パッチを適用しています...</source>
        <translation>Applying the patch...</translation>
    </message>
    <message>
        <source>中止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>チェックサムの表は保存のたびに計算され、読み込めません</source>
        <translation>the checksum table is computed at every save and cannot be read in</translation>
    </message>
</context>
<context>
    <name>BytePane</name>
    <message>
        <source>選択範囲からテーブルを作成(&amp;T)...</source>
        <translation>New &amp;Table from the Selection...</translation>
    </message>
</context>
<context>
    <name>Checksums</name>
    <message>
        <source>%1 が読めません</source>
        <translation>%1 cannot be read</translation>
    </message>
    <message>
        <source>チェックサムが合いません: %1</source>
        <translation>checksums that do not match: %1</translation>
    </message>
    <message>
        <source>計算できないチェックサム: %1</source>
        <translation>checksums that cannot be computed: %1</translation>
    </message>
    <message>
        <source>チェックサムを更新しました: %1</source>
        <translation>checksums updated: %1</translation>
    </message>
    <message>
        <source>チェックサム</source>
        <translation>Checksums</translation>
    </message>
    <message>
        <source>格納値</source>
        <translation>Stored</translation>
    </message>
    <message>
        <source>計算値</source>
        <translation>Computed</translation>
    </message>
    <message>
        <source>状態</source>
        <translation>State</translation>
    </message>
    <message>
        <source>一致</source>
        <translation>ok</translation>
    </message>
    <message>
        <source>不一致</source>
        <translation>differs</translation>
    </message>
    <message>
        <source>計算できません</source>
        <translation>cannot be computed</translation>
    </message>
    <message>
        <source>%1 の %2 行目のチェックサムの規則「%3」が使えません</source>
        <translation>the checksum rule "%3" on line %2 of %1 cannot be used</translation>
    </message>
</context>
<context>
    <name>ColumnEditor</name>
    <message>
        <source>列の定義</source>
        <translation>Column Definition</translation>
    </message>
    <message>
        <source>アドレス(&amp;A) (16進)</source>
        <translation>&amp;Address (hex)</translation>
    </message>
    <message>
        <source>見出し(&amp;C)</source>
        <translation>&amp;Caption</translation>
    </message>
    <message>
        <source>サイズ(&amp;S)</source>
        <translation>&amp;Size</translation>
    </message>
    <message>
        <source>間隔(&amp;I) (16進)</source>
        <translation>Str&amp;ide (hex)</translation>
    </message>
    <message>
        <source>行数(&amp;R)</source>
        <translation>&amp;Rows</translation>
    </message>
    <message>
        <source>表示(&amp;D)</source>
        <translation>&amp;Display</translation>
    </message>
    <message>
        <source>制限(&amp;L)</source>
        <translation>&amp;Limit</translation>
    </message>
    <message>
        <source>幅(&amp;W)</source>
        <translation>&amp;Width</translation>
    </message>
    <message>
        <source>説明(&amp;E)</source>
        <translation>D&amp;escription</translation>
    </message>
    <message>
        <source>リスト(&amp;V)</source>
        <translation>&amp;Value list</translation>
    </message>
    <message>
        <source>例: 0100</source>
        <translation>for example 0100</translation>
    </message>
    <message>
        <source>必須</source>
        <translation>required</translation>
    </message>
    <message>
        <source>1 から 4（バイト）、.0 から .7（ビット）。空なら 1</source>
        <translation>1 to 4 (bytes), .0 to .7 (a bit); empty is 1</translation>
    </message>
    <message>
        <source>次の行までのバイト数。空ならサイズ</source>
        <translation>bytes to the next row; empty is the size</translation>
    </message>
    <message>
        <source>空なら行の名前の数</source>
        <translation>empty is the number of row names</translation>
    </message>
    <message>
        <source>16、10、-10（空）、0（リスト）</source>
        <translation>16, 10, -10 (empty), 0 (list)</translation>
    </message>
    <message>
        <source>最小|最大（16進）、またはマスク .FF</source>
        <translation>min|max (hex), or a mask .FF</translation>
    </message>
    <message>
        <source>空なら自動</source>
        <translation>empty is automatic</translation>
    </message>
    <message>
        <source>\n で改行</source>
        <translation>\n breaks the line</translation>
    </message>
    <message>
        <source>0 名前|1 名前、または 名前.idn</source>
        <translation>0 name|1 name, or name.idn</translation>
    </message>
    <message>
        <source>追加(&amp;N)</source>
        <translation>&amp;New Column</translation>
    </message>
    <message>
        <source>削除(&amp;X)</source>
        <translation>Remove Column(&amp;X)</translation>
    </message>
    <message>
        <source>エラー: 「,」は区切りなので使えません</source>
        <translation>Error: "," separates the fields and cannot be used</translation>
    </message>
    <message>
        <source>エラー: Shift-JIS で書けない文字があります</source>
        <translation>Error: a character Shift-JIS cannot write</translation>
    </message>
    <message>
        <source>エラー: %1</source>
        <translation>Error: %1</translation>
    </message>
    <message>
        <source>警告: %1</source>
        <translation>Warning: %1</translation>
    </message>
    <message>
        <source>OK でこの列を列の定義ファイルから取り除きます</source>
        <translation>OK removes this column from the column file</translation>
    </message>
    <message>
        <source>OK で新しい列を今の列の後ろに加えます</source>
        <translation>OK adds the new column after the current one</translation>
    </message>
    <message>
        <source>列の定義ファイルを読めません: %1</source>
        <translation>Cannot read the column file: %1</translation>
    </message>
    <message>
        <source>列の定義ファイルが読み込んだ後に変わっています。設定を読み直してから変えてください。</source>
        <translation>The column file has changed since it was read. Read the set again before changing it.</translation>
    </message>
    <message>
        <source>列の定義ファイルに書けません: %1</source>
        <translation>Cannot write the column file: %1</translation>
    </message>
</context>
<context>
    <name>FindDialog</name>
    <message>
        <source>このテーブル(&amp;T)</source>
        <translation>&amp;This table</translation>
    </message>
    <message>
        <source>すべてのテーブル(&amp;L)</source>
        <translation>A&amp;ll tables</translation>
    </message>
    <message>
        <source>行の名前(&amp;R)</source>
        <translation>&amp;Row names</translation>
    </message>
    <message>
        <source>セルの表示(&amp;C)</source>
        <translation>&amp;Cell texts</translation>
    </message>
    <message>
        <source>見出し(&amp;H)</source>
        <translation>Column &amp;headings</translation>
    </message>
    <message>
        <source>セル全体と一致(&amp;W)</source>
        <translation>Match &amp;whole cell</translation>
    </message>
    <message>
        <source>検索</source>
        <translation>Find</translation>
    </message>
    <message>
        <source>次を検索(&amp;N)</source>
        <translation>Find &amp;Next</translation>
    </message>
    <message>
        <source>前を検索(&amp;P)</source>
        <translation>Find &amp;Previous</translation>
    </message>
    <message>
        <source>すべて検索(&amp;A)</source>
        <translation>Find &amp;All</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>検索する文字列(&amp;S):</source>
        <translation>&amp;Search for:</translation>
    </message>
    <message>
        <source>場所:</source>
        <translation>Where:</translation>
    </message>
    <message>
        <source>対象:</source>
        <translation>Look in:</translation>
    </message>
    <message>
        <source>英字の大小、全角と半角の英数字・カナは区別しません。数値は表示形式によらず値でも探します。</source>
        <translation>Upper and lower case, and full-width and half-width letters, digits and kana, are the same. Numbers are also found by value, whatever the display.</translation>
    </message>
    <message>
        <source>検索する文字列と対象を指定してください</source>
        <translation>Enter a text to find and where to look</translation>
    </message>
    <message>
        <source>見つかりません</source>
        <translation>Not found</translation>
    </message>
    <message>
        <source>最後まで検索したので先頭から検索しました</source>
        <translation>Reached the end; continued from the beginning</translation>
    </message>
    <message>
        <source>先頭まで検索したので最後から検索しました</source>
        <translation>Reached the beginning; continued from the end</translation>
    </message>
    <message>
        <source>検索しています...</source>
        <translation>Searching...</translation>
    </message>
    <message>
        <source>中止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>%1 件見つかりました</source>
        <translation>%1 found</translation>
    </message>
    <message>
        <source>（中止しました）</source>
        <translation> (stopped)</translation>
    </message>
    <message>
        <source>（最初の %1 件を表示）</source>
        <translation> (the first %1 shown)</translation>
    </message>
</context>
<context>
    <name>Import</name>
    <message>
        <source>、ほか %1 行</source>
        <translation>, and %1 more rows</translation>
    </message>
    <message>
        <source>値のあるセルが空です</source>
        <translation>an empty cell where the table holds a value</translation>
    </message>
    <message>
        <source>数値ではありません</source>
        <translation>not a number</translation>
    </message>
    <message>
        <source>小数です（整数を入れてください）</source>
        <translation>a fraction; the column holds whole numbers</translation>
    </message>
    <message>
        <source>桁区切りのある数値です（区切らずに書いてください）</source>
        <translation>a number with thousands separators; write it without them</translation>
    </message>
    <message>
        <source>全角の数字です（半角で書いてください）</source>
        <translation>full-width digits; write the number in ASCII digits</translation>
    </message>
    <message>
        <source>列の大きさ（%1 バイト）に入りません</source>
        <translation>too big for the column (%1 bytes)</translation>
    </message>
    <message>
        <source>列の範囲 %1～%2 の外です</source>
        <translation>outside the column's range %1 to %2</translation>
    </message>
    <message>
        <source>列のマスク %1 の外のビットがあります</source>
        <translation>has bits outside the column's mask %1</translation>
    </message>
    <message>
        <source>ビットの列には 0 か 1 を入れます</source>
        <translation>a bit column holds 0 or 1</translation>
    </message>
    <message>
        <source>値リストにない名前です</source>
        <translation>not a label of the column's value list</translation>
    </message>
    <message>
        <source>値リストの複数の項目にある名前です</source>
        <translation>a label that more than one item of the value list has</translation>
    </message>
    <message>
        <source>値のないセル（--）です</source>
        <translation>the cell holds no value ("--")</translation>
    </message>
    <message>
        <source>表の最後の列より右にあります</source>
        <translation>beyond the table's last column</translation>
    </message>
    <message>
        <source>行「%1」・最後の列の右の「%2」: %3</source>
        <translation>row "%1", beyond the last column, "%2": %3</translation>
    </message>
    <message>
        <source>行「%1」・列「%2」の「%3」: %4</source>
        <translation>row "%1", column "%2", "%3": %4</translation>
    </message>
    <message>
        <source>（セルの区切りがタブでなく「%1」のようです）</source>
        <translation> (the file seems to separate cells with "%1", not tabs)</translation>
    </message>
    <message>
        <source>見出しの行がありません</source>
        <translation>the file holds no caption row</translation>
    </message>
    <message>
        <source>見出しの行が %1 列で、表は %2 列です</source>
        <translation>its caption row has %1 columns, the table %2</translation>
    </message>
    <message>
        <source>見出しの行の最初のセルが「%1」です（空のはずです）</source>
        <translation>its caption row starts with "%1" where the table's is empty</translation>
    </message>
    <message>
        <source>%1 列目の見出しがファイルでは「%2」、表では「%3」です</source>
        <translation>caption %1 is "%2" in the file and "%3" in the table</translation>
    </message>
    <message>
        <source>表にない行: %1</source>
        <translation>rows the table does not have: %1</translation>
    </message>
    <message>
        <source>複数の行に当たる名前の行: %1</source>
        <translation>rows whose label names more than one row: %1</translation>
    </message>
    <message>
        <source>ほか %1 件の問題があります</source>
        <translation>and %1 more problems</translation>
    </message>
    <message>
        <source>表 %1: %2 個のセルを変更しました</source>
        <translation>table %1: %2 cells changed</translation>
    </message>
    <message>
        <source>（行は名前で照合しました）</source>
        <translation> (rows matched by name)</translation>
    </message>
    <message>
        <source>（読み取り専用の %1 個のセルは変えていません）</source>
        <translation> (%1 read-only cells left unchanged)</translation>
    </message>
</context>
<context>
    <name>Journal</name>
    <message>
        <source>%1 %2 行目 %3 (0x%4)</source>
        <translation>%1 row %2 %3 (0x%4)</translation>
    </message>
    <message>
        <source>記録は別のファイルのものです</source>
        <translation>the journal is of another file</translation>
    </message>
    <message>
        <source>定義ファイルが変更を記録した後に変わりました</source>
        <translation>the definition files have changed since the edits were made</translation>
    </message>
    <message>
        <source>記録されたセルが今の定義ではその位置にありません</source>
        <translation>the recorded cells no longer lie there with the definitions as they are now</translation>
    </message>
    <message>
        <source>記録が読めません（%1）</source>
        <translation>the journal cannot be read (%1)</translation>
    </message>
    <message>
        <source>保存されていない変更</source>
        <translation>Unsaved changes</translation>
    </message>
    <message>
        <source>復元する</source>
        <translation>Restore</translation>
    </message>
    <message>
        <source>残しておく</source>
        <translation>Keep for later</translation>
    </message>
    <message>
        <source>破棄する</source>
        <translation>Discard</translation>
    </message>
    <message>
        <source>%1 から %2 までの変更</source>
        <translation>changes made from %1 to %2</translation>
    </message>
    <message>
        <source>変更</source>
        <translation>changes</translation>
    </message>
    <message>
        <source>%1 には保存されていない%2の記録がありますが、復元できません: %3。</source>
        <translation>A journal of unsaved %2 for %1 was found, but it cannot be restored: %3.</translation>
    </message>
    <message>
        <source>ほか %1 セル</source>
        <translation>and %1 more cells</translation>
    </message>
    <message>
        <source>%1 には保存されていない%2の記録がありますが、その後ファイルのこれらのセルが変わったため、何も復元しません:
%3</source>
        <translation>A journal of unsaved %2 for %1 was found, but these cells of the file have changed since, so nothing is restored:
%3</translation>
    </message>
    <message>
        <source>%1 には保存されていない%2の記録があります（%3 回の変更、%4 セル）。
復元すると、元に戻すで一つずつ取り消せます。</source>
        <translation>A journal of unsaved %2 for %1 was found (%3 changes, %4 cells).
Restored, they can be undone one by one.</translation>
    </message>
    <message>
        <source>別の zok2 のウィンドウがこのファイルの保存していない変更を持っています。このウィンドウでの変更は記録されません。</source>
        <translation>Another zok2 window holds unsaved changes of this file. Changes made in this window are not journaled.</translation>
    </message>
    <message>
        <source>保存していない変更を記録できません: %1</source>
        <translation>Unsaved changes cannot be journaled: %1</translation>
    </message>
    <message>
        <source>前回の変更の記録を残してあるため、このファイルの変更は記録されません。</source>
        <translation>The journal of earlier changes is kept, so changes of this file are not journaled.</translation>
    </message>
    <message>
        <source>記録に列に収まらない値があります</source>
        <translation>the journal holds values their columns cannot hold</translation>
    </message>
    <message>
        <source>%1 の変更</source>
        <translation>changes made at %1</translation>
    </message>
    <message>
        <source>保存されていない %1 回の変更を復元しました。</source>
        <translation>%1 unsaved changes restored.</translation>
    </message>
</context>
<context>
    <name>MainFrame</name>
    <message>
        <source>移動</source>
        <translation>Go To</translation>
    </message>
    <message>
        <source>行番号、またはアドレス（0x1234 や $1234）:</source>
        <translation>Row number, or address (0x1234 or $1234):</translation>
    </message>
    <message>
        <source>ﾌｧｲﾙ(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>開く(&amp;O)	Ctrl+O</source>
        <translation>&amp;Open...	Ctrl+O</translation>
    </message>
    <message>
        <source>上書き保存(&amp;S)	Ctrl+S</source>
        <translation>&amp;Save	Ctrl+S</translation>
    </message>
    <message>
        <source>名前を付けて保存(&amp;A)...</source>
        <translation>Save &amp;As...</translation>
    </message>
    <message>
        <source>設定の保存</source>
        <translation>Save Settings</translation>
    </message>
    <message>
        <source>最近使ったﾌｧｲﾙ</source>
        <translation>Recent Files</translation>
    </message>
    <message>
        <source>データの破棄	Ctrl+Shift+W</source>
        <translation>Discard Data	Ctrl+Shift+W</translation>
    </message>
    <message>
        <source>保持しているデータの破棄</source>
        <translation>Discard the data held</translation>
    </message>
    <message>
        <source>データをを破棄する</source>
        <translation>Discard the data</translation>
    </message>
    <message>
        <source>終了(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>比較元を開く(&amp;R)...</source>
        <translation>Open &amp;Reference...</translation>
    </message>
    <message>
        <source>元のファイルを開き、値の違うセルに印を付けます</source>
        <translation>Opens the original file and marks the cells whose values differ</translation>
    </message>
    <message>
        <source>比較元を閉じる</source>
        <translation>Close Reference</translation>
    </message>
    <message>
        <source>比較元を閉じ、相違の印を消します</source>
        <translation>Closes the reference and removes the difference marks</translation>
    </message>
    <message>
        <source>パッチの作成(&amp;P)...</source>
        <translation>Create &amp;Patch...</translation>
    </message>
    <message>
        <source>比較元を今のファイルにする IPS か BPS のパッチを作ります</source>
        <translation>Writes an IPS or BPS patch that turns the reference into this file</translation>
    </message>
    <message>
        <source>パッチの適用(&amp;L)...</source>
        <translation>App&amp;ly Patch...</translation>
    </message>
    <message>
        <source>パッチを今のファイルのコピーに適用します</source>
        <translation>Applies a patch to a copy of this file</translation>
    </message>
    <message>
        <source>この表のエクスポート(&amp;E)...</source>
        <translation>&amp;Export This Table...</translation>
    </message>
    <message>
        <source>今の表を TSV ファイルに書き出します</source>
        <translation>Writes the current table to a TSV file</translation>
    </message>
    <message>
        <source>すべての表のエクスポート...</source>
        <translation>Export All Tables...</translation>
    </message>
    <message>
        <source>すべての表を TSV ファイルに書き出します</source>
        <translation>Writes every table to TSV files</translation>
    </message>
    <message>
        <source>インポート(&amp;I)...</source>
        <translation>&amp;Import...</translation>
    </message>
    <message>
        <source>TSV・CSV・JSON の表を読み込みます（元に戻せます）</source>
        <translation>Reads tables from TSV, CSV or JSON files (can be undone)</translation>
    </message>
    <message>
        <source>編集(&amp;E)</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>元に戻す(&amp;U)	Ctrl+Z</source>
        <translation>&amp;Undo	Ctrl+Z</translation>
    </message>
    <message>
        <source>やり直し(&amp;R)	Ctrl+Y</source>
        <translation>&amp;Redo	Ctrl+Y</translation>
    </message>
    <message>
        <source>切り取り(&amp;T)	Ctrl+X</source>
        <translation>Cu&amp;t	Ctrl+X</translation>
    </message>
    <message>
        <source>ｺﾋﾟｰ(&amp;C)	Ctrl+C</source>
        <translation>&amp;Copy	Ctrl+C</translation>
    </message>
    <message>
        <source>貼り付け(&amp;P)	Ctrl+V</source>
        <translation>&amp;Paste	Ctrl+V</translation>
    </message>
    <message>
        <source>削除(&amp;D)	Del</source>
        <translation>&amp;Delete	Del</translation>
    </message>
    <message>
        <source>すべて選択(&amp;A)	Ctrl+A</source>
        <translation>Select &amp;All	Ctrl+A</translation>
    </message>
    <message>
        <source>検索(&amp;F)...	Ctrl+F</source>
        <translation>&amp;Find...	Ctrl+F</translation>
    </message>
    <message>
        <source>行の名前、セルの表示、見出しを検索します</source>
        <translation>Searches row names, cell texts and column headings</translation>
    </message>
    <message>
        <source>次を検索(&amp;N)	F3</source>
        <translation>Find &amp;Next	F3</translation>
    </message>
    <message>
        <source>次に一致するセルへ移動します</source>
        <translation>Goes to the next matching cell</translation>
    </message>
    <message>
        <source>前を検索(&amp;V)	Shift+F3</source>
        <translation>Find Pre&amp;vious	Shift+F3</translation>
    </message>
    <message>
        <source>前に一致するセルへ移動します</source>
        <translation>Goes to the previous matching cell</translation>
    </message>
    <message>
        <source>移動(&amp;G)...	Ctrl+G</source>
        <translation>&amp;Go To...	Ctrl+G</translation>
    </message>
    <message>
        <source>行番号かファイル上のアドレスへ移動します</source>
        <translation>Goes to a row number or to an address in the file</translation>
    </message>
    <message>
        <source>アドレスをコピー(&amp;O)</source>
        <translation>C&amp;opy Address</translation>
    </message>
    <message>
        <source>現在のセルのファイル上のアドレスをコピーします</source>
        <translation>Copies the current cell's address in the file</translation>
    </message>
    <message>
        <source>次の相違(&amp;I)	F4</source>
        <translation>Next D&amp;ifference	F4</translation>
    </message>
    <message>
        <source>比較元と値の違う次のセルへ移動します</source>
        <translation>Goes to the next cell whose value differs from the reference</translation>
    </message>
    <message>
        <source>前の相違	Shift+F4</source>
        <translation>Previous Difference	Shift+F4</translation>
    </message>
    <message>
        <source>比較元と値の違う前のセルへ移動します</source>
        <translation>Goes to the previous cell whose value differs from the reference</translation>
    </message>
    <message>
        <source>相違の一覧(&amp;L)...</source>
        <translation>&amp;List of Differences...</translation>
    </message>
    <message>
        <source>比較元と値の違うセルを一覧にします</source>
        <translation>Lists the cells whose values differ from the reference</translation>
    </message>
    <message>
        <source>表示(&amp;V)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>選択セクションの表示</source>
        <translation>Display of the Selected Columns</translation>
    </message>
    <message>
        <source>16進数</source>
        <translation>Hexadecimal</translation>
    </message>
    <message>
        <source>符号付き10進数</source>
        <translation>Signed Decimal</translation>
    </message>
    <message>
        <source>符号無し10進数</source>
        <translation>Unsigned Decimal</translation>
    </message>
    <message>
        <source>リスト</source>
        <translation>List</translation>
    </message>
    <message>
        <source>ステータス バー(&amp;S)</source>
        <translation>&amp;Status Bar</translation>
    </message>
    <message>
        <source>ステータス バーの表示と非表示を切り替えます</source>
        <translation>Shows or hides the status bar</translation>
    </message>
    <message>
        <source>その他(&amp;O)</source>
        <translation>&amp;Other</translation>
    </message>
    <message>
        <source>設定(&amp;E)</source>
        <translation>S&amp;ettings</translation>
    </message>
    <message>
        <source>ZOK のﾊﾞｰｼﾞｮﾝ情報(&amp;A)...</source>
        <translation>&amp;About ZOK...</translation>
    </message>
    <message>
        <source>比較元との相違はありません</source>
        <translation>No differences from the reference</translation>
    </message>
    <message>
        <source>無題</source>
        <translation>Untitled</translation>
    </message>
    <message>
        <source>元に戻す(&amp;U)</source>
        <translation>&amp;Undo</translation>
    </message>
    <message>
        <source>やり直し(&amp;R)</source>
        <translation>&amp;Redo</translation>
    </message>
    <message>
        <source>切り取り(&amp;T)</source>
        <translation>Cu&amp;t</translation>
    </message>
    <message>
        <source>ｺﾋﾟｰ(&amp;C)</source>
        <translation>&amp;Copy</translation>
    </message>
    <message>
        <source>貼り付け(&amp;P)</source>
        <translation>&amp;Paste</translation>
    </message>
    <message>
        <source>削除(&amp;D)</source>
        <translation>&amp;Delete</translation>
    </message>
    <message>
        <source>すべて選択(&amp;A)</source>
        <translation>Select &amp;All</translation>
    </message>
    <message>
        <source>16進数で表示</source>
        <translation>Show in Hexadecimal</translation>
    </message>
    <message>
        <source>符号付き10進数で表示</source>
        <translation>Show as Signed Decimal</translation>
    </message>
    <message>
        <source>符号無し10進数で表示</source>
        <translation>Show as Unsigned Decimal</translation>
    </message>
    <message>
        <source>リスト表示</source>
        <translation>Show as List</translation>
    </message>
    <message>
        <source>アドレス %1 を含むセルはありません。</source>
        <translation>No cell holds address %1.</translation>
    </message>
    <message>
        <source>直前のセル: %1 の %2 行目「%3」の「%4」（%5）</source>
        <translation>Nearest cell before it: %1, row %2 "%3", column "%4" (%5)</translation>
    </message>
    <message>
        <source>それより前にもセルはありません。</source>
        <translation>No cell lies before it either.</translation>
    </message>
    <message>
        <source>行番号か、0x1234 や $1234 の形のアドレスを入力してください。</source>
        <translation>Enter a row number, or an address such as 0x1234 or $1234.</translation>
    </message>
    <message>
        <source>行 %1 はありません（1 から %2 まで）。</source>
        <translation>There is no row %1 (rows 1 to %2).</translation>
    </message>
    <message>
        <source>相違の一覧</source>
        <translation>List of Differences</translation>
    </message>
    <message>
        <source>（なし）</source>
        <translation>(none)</translation>
    </message>
    <message>
        <source>言語 / Language(&amp;L)</source>
        <translation>&amp;Language / 言語</translation>
    </message>
    <message>
        <source>定義の検査(&amp;C)...</source>
        <translation>&amp;Check the Definition Set...</translation>
    </message>
    <message>
        <source>使用中の設定の定義ファイルを検査します</source>
        <translation>Checks the definition files of the set in use</translation>
    </message>
    <message>
        <source>テーブルの追加(&amp;T)...</source>
        <translation>Add a &amp;Table...</translation>
    </message>
    <message>
        <source>ファイルのバイトから新しいテーブルを設定に加えます</source>
        <translation>Adds a new table to the set from the file's bytes</translation>
    </message>
    <message>
        <source>バイナリ(&amp;B)</source>
        <translation>&amp;Bytes</translation>
    </message>
    <message>
        <source>表のそばにファイルのバイトを表示します</source>
        <translation>Shows the file's bytes beside the table</translation>
    </message>
    <message>
        <source>列の定義(&amp;F)...</source>
        <translation>Column De&amp;finition...</translation>
    </message>
    <message>
        <source>今の列の定義を変え、列を加え、取り除きます</source>
        <translation>Changes, adds or removes the definition of the current column</translation>
    </message>
    <message>
        <source>圧縮されたテーブルの列の定義はここでは変えられません</source>
        <translation>The columns of a compressed table cannot be changed here</translation>
    </message>
    <message>
        <source>チェックサムの表は %1 の規則から作られます</source>
        <translation>The checksum table is made from the rules in %1</translation>
    </message>
</context>
<context>
    <name>Message</name>
    <message>
        <source>設定とバイナリを再読み込みします。<byte value="xd" />
現在のデータを保存しますか？</source>
        <translation>The settings and the binary will be reloaded.
Save the current data?</translation>
    </message>
    <message>
        <source>設定の選択をプロファイルに保存できませんでした。設定は変更されていません。</source>
        <translation>The chosen set could not be stored in the profile. The settings are unchanged.</translation>
    </message>
    <message>
        <source>この設定の名前はプロファイルに書けない文字を含むため、選択できません。</source>
        <translation>This set cannot be chosen: its name has characters the profile cannot hold.</translation>
    </message>
    <message>
        <source>プロファイルに書き込めません。ウィンドウの位置と最近使ったファイルは保存されません。</source>
        <translation>Cannot write the profile. The window position and the recent files are not saved.</translation>
    </message>
    <message>
        <source>パッチは保存されたファイルから作ります。先に保存しますか？</source>
        <translation>A patch is made from the file as saved. Save it first?</translation>
    </message>
    <message>
        <source>比較元を読み込めません。</source>
        <translation>Cannot read the reference.</translation>
    </message>
    <message>
        <source>パッチを書き込めません。</source>
        <translation>Cannot write the patch.</translation>
    </message>
    <message>
        <source>パッチを適用できません。何も書き込んでいません。</source>
        <translation>Cannot apply the patch. Nothing was written.</translation>
    </message>
    <message>
        <source>開いているファイルそのものに適用しますか？（.bak を残します）</source>
        <translation>Apply it to the open file itself? (A .bak copy is kept.)</translation>
    </message>
    <message>
        <source>パッチを適用したファイルを書き込めません。</source>
        <translation>Cannot write the patched file.</translation>
    </message>
    <message>
        <source>パッチを適用したファイルを開きますか？（今のファイルを比較元にします）</source>
        <translation>Open the patched file? (This file becomes its reference.)</translation>
    </message>
    <message>
        <source>書き出せません。</source>
        <translation>Cannot export.</translation>
    </message>
    <message>
        <source>比較元が見つからないため、比較元を外しました。</source>
        <translation>The reference was not found and has been closed.</translation>
    </message>
    <message>
        <source>フォルダーを作れません。設定は保存されません。</source>
        <translation>Cannot create the folder. Settings are not saved.</translation>
    </message>
    <message>
        <source>プロファイルを作れません。設定は保存されません。</source>
        <translation>Cannot create the profile. Settings are not saved.</translation>
    </message>
    <message>
        <source>プログラムのフォルダーに書き込めないため、プロファイルは次の場所に保存します。</source>
        <translation>The program's folder cannot be written, so the profile is kept here:</translation>
    </message>
    <message>
        <source>設定ファイルが読み込めません。</source>
        <translation>Cannot read the definition file.</translation>
    </message>
    <message>
        <source>ファイルが開けません</source>
        <translation>Cannot open the file</translation>
    </message>
    <message>
        <source>コピー失敗</source>
        <translation>Copy failed</translation>
    </message>
    <message>
        <source>ファイルに書き込めません。ファイルは変更されていません。</source>
        <translation>Cannot write the file. The file is unchanged.</translation>
    </message>
    <message>
        <source>ファイルへの書き込み中にエラーが発生しました。保存前の内容は .bak ファイルに残っています。</source>
        <translation>An error occurred while writing the file. Its content before the save is in the .bak file.</translation>
    </message>
    <message>
        <source>バックアップを作成できないため保存を中止しました。ファイルは変更されていません。</source>
        <translation>The save was stopped because the backup could not be made. The file is unchanged.</translation>
    </message>
    <message>
        <source>名前を付けて保存できませんでした。保存先のファイルは変更されていません。</source>
        <translation>Save As failed. The destination file is unchanged.</translation>
    </message>
    <message>
        <source>設定ファイルが開いた後に変更されているため、上書きせずに残しました。</source>
        <translation>The definition file was changed after it was opened, so it was kept as it is.</translation>
    </message>
    <message>
        <source>設定ファイルを読み込めないため、上書きせずに残しました。</source>
        <translation>The definition file cannot be read, so it was kept as it is.</translation>
    </message>
    <message>
        <source>設定ファイルに書き込めないため、上書きせずに残しました。</source>
        <translation>The definition file cannot be written, so it was kept as it is.</translation>
    </message>
    <message>
        <source>設定ファイルの行が長すぎて正しく読み直せないため、上書きせずに残しました。</source>
        <translation>A line of the definition file is too long to be read back correctly, so the file was kept as it is.</translation>
    </message>
    <message>
        <source>設定ファイルに書き込めません。元の内容はそのまま残っています。</source>
        <translation>Cannot write the definition file. Its content is unchanged.</translation>
    </message>
    <message>
        <source>設定ファイルが Shift-JIS ではありません（UTF-8 または UTF-16 の印で始まっています）。Shift-JIS で保存し直してください。</source>
        <translation>The definition file is not Shift-JIS (it starts with a UTF-8 or UTF-16 mark). Save it again as Shift-JIS.</translation>
    </message>
    <message>
        <source>このファイルは開いた後で他のプログラムによって書き換えられています。</source>
        <translation>Another program has changed this file since it was opened.</translation>
    </message>
    <message>
        <source>このファイルは開いた後で別のファイルに置き換えられています。</source>
        <translation>This file has been replaced by another file since it was opened.</translation>
    </message>
    <message>
        <source>このファイルは開いた後で他のプログラムによって短くされています。</source>
        <translation>Another program has shortened this file since it was opened.</translation>
    </message>
    <message>
        <source>このファイルは開いた後で削除されたか、名前が変わっています。</source>
        <translation>This file has been deleted or renamed since it was opened.</translation>
    </message>
    <message>
        <source>はい: 編集したセルをこのファイルに上書き保存します（.bak には今のファイルを残します）
いいえ: 別の名前で保存します
キャンセル: 保存しません</source>
        <translation>Yes: write the edited cells into this file (the .bak keeps the file as it is now)
No: save under another name
Cancel: do not save</translation>
    </message>
    <message>
        <source>編集したセルの位置がファイルにないため上書きできません。
はい: 別の名前で保存します
いいえ／キャンセル: 保存しません</source>
        <translation>The edited cells no longer lie in the file, so it cannot be overwritten.
Yes: save under another name
No / Cancel: do not save</translation>
    </message>
    <message>
        <source>開いたファイルが他のプログラムに短くされていたため、表の値以外の次の範囲の内容は分からず、0 として保存しました。</source>
        <translation>Another program had shortened the opened file, so the content of this range outside the tables was unknown and was saved as 0.</translation>
    </message>
    <message>
        <source>このファイルは他のプログラムによって変更されました。
再読み込みしますか？</source>
        <translation>Another program has changed this file.
Reload it?</translation>
    </message>
    <message>
        <source>ディスク上で変更済み</source>
        <translation>changed on disk</translation>
    </message>
    <message>
        <source>ほか %1 個のファイル</source>
        <translation>and %1 more files</translation>
    </message>
    <message>
        <source>無題</source>
        <translation>Untitled</translation>
    </message>
    <message>
        <source>%1 への変更を保存しますか?</source>
        <translation>Save changes to %1?</translation>
    </message>
    <message>
        <source>zok2 は次の起動から英語で表示します。</source>
        <translation>zok2 will be in English from its next start.</translation>
    </message>
    <message>
        <source>zok2 は次の起動から日本語で表示します。</source>
        <translation>zok2 will be in Japanese from its next start.</translation>
    </message>
    <message>
        <source>表を読み込めません。何も変更していません。</source>
        <translation>The tables cannot be imported. Nothing was changed.</translation>
    </message>
    <message>
        <source>表を読み込みました。</source>
        <translation>The tables were imported.</translation>
    </message>
    <message>
        <source>開いたファイルは開いた後に他のプログラムに変更されています。表の値は画面のとおりに保存しますが、表の外のバイトは他のプログラムが残したファイルのものになります。保存しますか？</source>
        <translation>Another program changed the opened file after it was opened. The tables' values are saved as shown, but bytes outside the tables come from the file as another program left it. Save?</translation>
    </message>
    <message>
        <source>次の表のデータはその範囲にありました（圧縮された表は画面の値を保存できません）:</source>
        <translation>These tables had data in that range (a compressed table's values shown cannot be saved):</translation>
    </message>
    <message>
        <source>定義ファイルが他のプログラムによって変更されました。
設定とバイナリを再読み込みしますか？</source>
        <translation>The definition files were changed by another program.
Reload the settings and the binary?</translation>
    </message>
</context>
<context>
    <name>NewTable</name>
    <message>
        <source>テーブルの追加</source>
        <translation>Add a Table</translation>
    </message>
    <message>
        <source>行の名前を 1 行に 1 つ（空ならレコード数だけ番号を付けます）</source>
        <translation>Row labels, one a line (empty: numbered, one per record)</translation>
    </message>
    <message>
        <source>16進数</source>
        <translation>Hexadecimal</translation>
    </message>
    <message>
        <source>符号付き10進数</source>
        <translation>Signed decimal</translation>
    </message>
    <message>
        <source>符号無し10進数</source>
        <translation>Unsigned decimal</translation>
    </message>
    <message>
        <source>名前(&amp;N)</source>
        <translation>&amp;Name</translation>
    </message>
    <message>
        <source>先頭アドレス(&amp;A) (16進)</source>
        <translation>First &amp;address (hex)</translation>
    </message>
    <message>
        <source>推定に使うバイト数(&amp;B) (16進)</source>
        <translation>&amp;Bytes to propose from (hex)</translation>
    </message>
    <message>
        <source>レコードサイズ(&amp;R) (16進)</source>
        <translation>&amp;Record size (hex)</translation>
    </message>
    <message>
        <source>レコード数(&amp;C)</source>
        <translation>Record &amp;count</translation>
    </message>
    <message>
        <source>行の名前(&amp;L)</source>
        <translation>Row &amp;labels</translation>
    </message>
    <message>
        <source>最初の列の見出し(&amp;H)</source>
        <translation>First column's &amp;heading</translation>
    </message>
    <message>
        <source>最初の列のサイズ(&amp;S)</source>
        <translation>First column's &amp;size</translation>
    </message>
    <message>
        <source>表示(&amp;D)</source>
        <translation>&amp;Display</translation>
    </message>
    <message>
        <source>レコードサイズの推定(&amp;P)</source>
        <translation>&amp;Propose record sizes</translation>
    </message>
    <message>
        <source>先頭アドレスがファイルの中にありません。</source>
        <translation>The first address is not inside the file.</translation>
    </message>
    <message>
        <source>0x%1 バイト: 一致 %2%、%3 レコード</source>
        <translation>0x%1 bytes: %2% alike, %3 records</translation>
    </message>
    <message>
        <source>推定できるだけのバイトがありません。</source>
        <translation>Too few bytes to propose from.</translation>
    </message>
    <message>
        <source>%1 バイトから推定しました。選ぶとレコードサイズとレコード数に入ります。</source>
        <translation>Proposed from %1 bytes. Choose one to fill in the record size and count.</translation>
    </message>
    <message>
        <source>先頭アドレスは 16 進数で入力してください。</source>
        <translation>Enter the first address in hexadecimal.</translation>
    </message>
    <message>
        <source>レコードサイズは 1 以上の 16 進数で入力してください。</source>
        <translation>Enter a record size of 1 or more in hexadecimal.</translation>
    </message>
    <message>
        <source>テーブルを追加できません: %1</source>
        <translation>The table cannot be added: %1</translation>
    </message>
</context>
<context>
    <name>Reason</name>
    <message>
        <source>IPS は 16 MiB までのファイルにしか使えません</source>
        <translation>IPS holds files of at most 16 MiB</translation>
    </message>
    <message>
        <source>JSON の行が行見出しのキー "" で始まっていません</source>
        <translation>a JSON row does not start with the row label's key ""</translation>
    </message>
    <message>
        <source>JSON の行は見出しをキーとする文字列でなければなりません</source>
        <translation>a JSON row holds texts keyed by caption</translation>
    </message>
    <message>
        <source>JSON の行はオブジェクトでなければなりません</source>
        <translation>a JSON row is an object</translation>
    </message>
    <message>
        <source>JSON の行のオブジェクトが閉じていません</source>
        <translation>a JSON row object is not closed</translation>
    </message>
    <message>
        <source>JSON の表は行の配列でなければなりません</source>
        <translation>a JSON table is an array of rows</translation>
    </message>
    <message>
        <source>引用符で囲まれていない項目の中に引用符があります（引用符を含む項目は全体を引用符で囲み、中の引用符は二つ重ねます）</source>
        <translation>a quote inside a field that is not quoted (a field with quotes is quoted whole, its quotes doubled)</translation>
    </message>
    <message>
        <source>CSV の引用符で囲まれた項目に閉じる引用符がありません</source>
        <translation>a quoted CSV field has no closing quote</translation>
    </message>
    <message>
        <source>引用符で囲まれたセルに閉じる引用符がありません</source>
        <translation>a quoted cell has no closing quote</translation>
    </message>
    <message>
        <source>引用符で囲まれたセルの閉じる引用符の後に文字があります</source>
        <translation>text follows a quoted cell's closing quote</translation>
    </message>
    <message>
        <source>IPS のレコードが途中で切れています</source>
        <translation>an IPS record is cut off</translation>
    </message>
    <message>
        <source>IPS の連続レコードが途中で切れています</source>
        <translation>an IPS run record is cut off</translation>
    </message>
    <message>
        <source>BPS パッチではありません（先頭が "BPS1" ではありません）</source>
        <translation>not a BPS patch (no "BPS1" at its start)</translation>
    </message>
    <message>
        <source>IPS パッチでも BPS パッチでもありません</source>
        <translation>not an IPS or BPS patch</translation>
    </message>
    <message>
        <source>IPS パッチではありません（先頭が "PATCH" ではありません）</source>
        <translation>not an IPS patch (no "PATCH" at its start)</translation>
    </message>
    <message>
        <source>引用符で囲まれた項目の閉じる引用符の後に文字があります</source>
        <translation>text follows a quoted field's closing quote</translation>
    </message>
    <message>
        <source>BPS パッチが途中で切れています（ヘッダーの中で終わっています）</source>
        <translation>the BPS patch is cut short (it ends inside its header)</translation>
    </message>
    <message>
        <source>BPS パッチが壊れています（コピーが途中で切れています）</source>
        <translation>the BPS patch is damaged (a copy is cut off)</translation>
    </message>
    <message>
        <source>BPS パッチが壊れています（コピーがファイルの外を指しています）</source>
        <translation>the BPS patch is damaged (a copy lies outside the file)</translation>
    </message>
    <message>
        <source>BPS パッチが壊れています（コピーが元のファイルの外を指しています）</source>
        <translation>the BPS patch is damaged (a copy lies outside the source)</translation>
    </message>
    <message>
        <source>BPS パッチが壊れています（コピーがまだ書いていない位置を指しています）</source>
        <translation>the BPS patch is damaged (a copy lies outside the target written so far)</translation>
    </message>
    <message>
        <source>BPS パッチが壊れています（命令が途中で切れています）</source>
        <translation>the BPS patch is damaged (an action is cut off)</translation>
    </message>
    <message>
        <source>BPS パッチが壊れています（元のファイルの終わりより先を読みます）</source>
        <translation>the BPS patch is damaged (it reads past the source's end)</translation>
    </message>
    <message>
        <source>BPS パッチが壊れています（書く量が結果の大きさに足りません）</source>
        <translation>the BPS patch is damaged (it writes less than the target's size)</translation>
    </message>
    <message>
        <source>BPS パッチが壊れています（結果の終わりより先に書きます）</source>
        <translation>the BPS patch is damaged (it writes past the target's end)</translation>
    </message>
    <message>
        <source>BPS パッチが壊れています（データが途中で切れています）</source>
        <translation>the BPS patch is damaged (its bytes are cut off)</translation>
    </message>
    <message>
        <source>BPS パッチが壊れています（ヘッダーが途中で切れています）</source>
        <translation>the BPS patch is damaged (its header is cut off)</translation>
    </message>
    <message>
        <source>BPS パッチが壊れています（パッチ自身のチェックサムが合いません）</source>
        <translation>the BPS patch is damaged (its own checksum does not match)</translation>
    </message>
    <message>
        <source>BPS パッチが壊れています（結果のチェックサムが合いません）</source>
        <translation>the BPS patch is damaged (the result's checksum does not match)</translation>
    </message>
    <message>
        <source>BPS パッチの結果が 4 GiB を超えます</source>
        <translation>the BPS patch makes a file larger than 4 GiB</translation>
    </message>
    <message>
        <source>この BPS パッチは別のファイル用です（チェックサムが違います）</source>
        <translation>the BPS patch was made for another file (its checksum differs)</translation>
    </message>
    <message>
        <source>この BPS パッチは別のファイル用です（大きさが違います）</source>
        <translation>the BPS patch was made for another file (its size differs)</translation>
    </message>
    <message>
        <source>IPS パッチが "EOF" なしで終わっています</source>
        <translation>the IPS patch ends without "EOF"</translation>
    </message>
    <message>
        <source>IPS パッチの "EOF" の後に長さでないデータがあります</source>
        <translation>the IPS patch has bytes after "EOF" that are no length</translation>
    </message>
    <message>
        <source>IPS パッチが途中で切れています（"EOF" の前で終わっています）</source>
        <translation>the IPS patch is cut short (it ends before "EOF")</translation>
    </message>
    <message>
        <source>IPS パッチが壊れています（切り詰めの長さがファイルより長くなっています）</source>
        <translation>the IPS patch is damaged (its truncation would lengthen the file)</translation>
    </message>
    <message>
        <source>JSON の配列が閉じていません</source>
        <translation>the JSON array is not closed</translation>
    </message>
    <message>
        <source>JSON の行のキーがそろっていません</source>
        <translation>the JSON rows do not all have the same keys</translation>
    </message>
    <message>
        <source>パッチが途中で切れています（ヘッダーの中で終わっています）</source>
        <translation>the patch is cut short (it ends inside its header)</translation>
    </message>
    <message>
        <source>パッチは適用していません（中止しました）</source>
        <translation>the patch was not applied: cancelled</translation>
    </message>
    <message>
        <source>JSON の配列の後に文字があります</source>
        <translation>there is text after the JSON array</translation>
    </message>
    <message>
        <source>%1 行目: %2</source>
        <translation>line %1: %2</translation>
    </message>
    <message>
        <source>%1 行目が UTF-8 ではありません（表は UTF-8 で保存してください。Shift-JIS は読めません）</source>
        <translation>line %1 is not UTF-8 (save the table as UTF-8; Shift-JIS is not read)</translation>
    </message>
    <message>
        <source>空き容量が足りません（結果に %1 バイト必要で、空きは %2 バイトです）</source>
        <translation>not enough free space: the result needs %1 bytes, %2 are free</translation>
    </message>
    <message>
        <source>ファイル名が正しい UTF-8 ではありません</source>
        <translation>the file name is not valid UTF-8</translation>
    </message>
</context>
<context>
    <name>SectionTabs</name>
    <message>
        <source>%1（参照ファイルと異なる）</source>
        <translation>%1 (differs from the reference file)</translation>
    </message>
</context>
<context>
    <name>SetCheck</name>
    <message>
        <source>バンクのバイト</source>
        <translation>bank byte</translation>
    </message>
    <message>
        <source>ポインタ表</source>
        <translation>pointer table</translation>
    </message>
    <message>
        <source>辞書</source>
        <translation>dictionary</translation>
    </message>
    <message>
        <source>バイト順マークで始まっています（Unicode のファイルで Shift-JIS ではないため、何も読まれません）</source>
        <translation>starts with a byte-order mark (a Unicode file, not Shift-JIS: none of it is read)</translation>
    </message>
    <message>
        <source>Shift-JIS の文字ではないバイトがあります</source>
        <translation>holds bytes that are not Shift-JIS text</translation>
    </message>
    <message>
        <source>対になる行名ファイル（.idn）がないため読まれません</source>
        <translation>has no row-name file (.idn) beside it, so it is never read</translation>
    </message>
    <message>
        <source>%1 と大文字小文字だけが違います（Windows では同じファイルです）</source>
        <translation>differs from %1 only by case (Windows takes them for one file)</translation>
    </message>
    <message>
        <source>コンマがないため、この行は無視されます</source>
        <translation>has no comma: the line is ignored</translation>
    </message>
    <message>
        <source>アドレスがないため、この行は捨てられます</source>
        <translation>has no address: the line is dropped</translation>
    </message>
    <message>
        <source>見出しがないため、この行は捨てられます</source>
        <translation>has no caption: the line is dropped</translation>
    </message>
    <message>
        <source>10 番目の項目の後の文字は無視されます: %1</source>
        <translation>text after the tenth field is ignored: %1</translation>
    </message>
    <message>
        <source>サイズ %1 は 1～4 ではありません（%2 として読みます）</source>
        <translation>size %1 is not 1 to 4 (read as %2)</translation>
    </message>
    <message>
        <source>ビット %1 は .0～.7 ではありません（.%2 として読みます）</source>
        <translation>bit %1 is not .0 to .7 (read as .%2)</translation>
    </message>
    <message>
        <source>バイトの列にビット単位の間隔（%1）があります（サイズを使います）</source>
        <translation>a stride in bits (%1) on a column of bytes (the size is used)</translation>
    </message>
    <message>
        <source>行数 %1 は 1～行の名前の数 %2 ではありません（%2 として読みます）</source>
        <translation>rows %1 is not 1 to the %2 row labels (read as %2)</translation>
    </message>
    <message>
        <source>表示 %1 は -10、0、10、16 のどれでもありません（-10 として読みます）</source>
        <translation>display %1 is not -10, 0, 10 or 16 (read as -10)</translation>
    </message>
    <message>
        <source>表示 0（リスト）ですが値のリストがありません（-10 として読みます）</source>
        <translation>display 0 (a value list) without a value list (read as -10)</translation>
    </message>
    <message>
        <source>ビットの列の制限（%1）は無視されます</source>
        <translation>a limit (%1) on a bit column is ignored</translation>
    </message>
    <message>
        <source>マスク %1 は列のサイズより長いため無視されます</source>
        <translation>mask %1 is longer than the column's size: ignored</translation>
    </message>
    <message>
        <source>マスク %1 には立っているビットがありません（0 しか入力できません）</source>
        <translation>mask %1 has no bit set (only 0 can be entered)</translation>
    </message>
    <message>
        <source>範囲 %1 の最小値が最大値より大きくなっています</source>
        <translation>range %1 has its minimum above its maximum</translation>
    </message>
    <message>
        <source>制限 %1 はマスク（.FF）でも範囲（0|FF）でもないため無視されます</source>
        <translation>limit %1 is neither a mask (.FF) nor a range (0|FF): ignored</translation>
    </message>
    <message>
        <source>幅 %1 は 1～49999 ではありません（自動の幅になります）</source>
        <translation>width %1 is not 1 to 49999 (automatic width)</translation>
    </message>
    <message>
        <source>値のリストの項目「%1」は値の後に空白がないため捨てられます</source>
        <translation>value list item "%1" has no blank after its value: dropped</translation>
    </message>
    <message>
        <source>値のリストの項目「%1」の値はすでにあります</source>
        <translation>value list item "%1" repeats a value listed before</translation>
    </message>
    <message>
        <source>値のリストが指す %1 は設定にありません</source>
        <translation>the value list names %1, which is not in the set</translation>
    </message>
    <message>
        <source>COMPRESS_INFO に空の項目があるため、この行は無視されます</source>
        <translation>COMPRESS_INFO has an empty parameter: the line is ignored</translation>
    </message>
    <message>
        <source>COMPRESS_INFO の項目が %1 個です（展開には 4 個が必要なため、テーブルは展開されません）</source>
        <translation>COMPRESS_INFO has %1 parameters (the decoder needs four: the table is not expanded)</translation>
    </message>
    <message>
        <source>COMPRESS_INFO の方式 %1 は使えません（方式は 1 だけのため、テーブルは展開されません）</source>
        <translation>COMPRESS_INFO names method %1 (1 is the only method: the table is not expanded)</translation>
    </message>
    <message>
        <source>2 つ目の COMPRESS_INFO です（ファイルの最初のものだけが使われます）</source>
        <translation>a second COMPRESS_INFO (only a file's first is used)</translation>
    </message>
    <message>
        <source>列「%1」（%2 行目）と同じバイトを読みます</source>
        <translation>reads the same bytes as column "%1" (line %2)</translation>
    </message>
    <message>
        <source>ファイルの終わりを越えます（%1 バイト必要で、ファイルは %2 バイトです）</source>
        <translation>reaches past the end of the file (it needs %1 bytes, the file has %2)</translation>
    </message>
    <message>
        <source>COMPRESS_INFO の%1（%2）がファイルの終わり（%3 バイト）を越えています</source>
        <translation>COMPRESS_INFO's %1 (%2) lies past the end of the file (%3 bytes)</translation>
    </message>
    <message>
        <source>エラー</source>
        <translation>error</translation>
    </message>
    <message>
        <source>警告</source>
        <translation>warning</translation>
    </message>
    <message>
        <source>%1 行目</source>
        <translation>line %1</translation>
    </message>
    <message>
        <source>列「%1」: </source>
        <translation>column "%1": </translation>
    </message>
    <message>
        <source>定義の検査</source>
        <translation>Check of the definition set</translation>
    </message>
    <message>
        <source>%1 に問題はありません。</source>
        <translation>No problems in %1.</translation>
    </message>
    <message>
        <source>%1: エラー %2 件、警告 %3 件。行をダブルクリックするとその表と列へ移動します。</source>
        <translation>%1: %2 errors, %3 warnings. Double-click a line to go to its table and column.</translation>
    </message>
    <message>
        <source>チェックサムの規則が使えません（%1）: %2</source>
        <translation>the checksum rule cannot be used (%1): %2</translation>
    </message>
</context>
<context>
    <name>SettingsSheet</name>
    <message>
        <source>ﾌﾟﾛﾊﾟﾃｨ ｼｰﾄ</source>
        <translation>Properties</translation>
    </message>
    <message>
        <source>設定の選択</source>
        <translation>Definition Set</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>View</name>
    <message>
        <source>圧縮されたセクションの値は編集できません</source>
        <translation>Values of a compressed section cannot be edited</translation>
    </message>
    <message>
        <source>ファイルの終わりより後ろの値は編集できません</source>
        <translation>Values past the end of the file cannot be edited</translation>
    </message>
    <message>
        <source>値はありません（--）</source>
        <translation>No value (--)</translation>
    </message>
    <message>
        <source>ビット %1</source>
        <translation>bit %1</translation>
    </message>
    <message>
        <source>%1 バイト</source>
        <translation>%1-byte</translation>
    </message>
    <message>
        <source>圧縮されたセクションの値（ファイル上の位置はありません）</source>
        <translation>a value of a compressed section (no place in the file)</translation>
    </message>
    <message>
        <source>  ファイルの終わりより後ろ</source>
        <translation>  past the end of the file</translation>
    </message>
    <message>
        <source>  │  16進 0x%1  符号付き %2  符号無し %3</source>
        <translation>  │  hex 0x%1  signed %2  unsigned %3</translation>
    </message>
    <message>
        <source>  │  比較元 0x%1</source>
        <translation>  │  reference 0x%1</translation>
    </message>
    <message>
        <source>  │  比較元にはありません</source>
        <translation>  │  not in the reference</translation>
    </message>
    <message>
        <source>数値として読めない文字列 %1 個（読める部分、なければ 0 を格納）</source>
        <translation>%1 texts not read as numbers (their readable start, or 0, stored)</translation>
    </message>
    <message>
        <source>範囲に合わせた値 %1 個</source>
        <translation>%1 values moved into their range</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>。最初: %1 行目「%2」の「%3」</source>
        <translation>. First: row %1 "%2", column "%3"</translation>
    </message>
    <message>
        <source>。リストの列には名前でなく値（0X01 など）を貼り付けてください</source>
        <translation>. Paste values (such as 0X01), not names, into list columns</translation>
    </message>
    <message>
        <source>列の大きさに切り詰めた値 %1 個</source>
        <translation>%1 values cut to their column's size</translation>
    </message>
    <message>
        <source>  読み取り専用（保存のたびに計算）</source>
        <translation>  read-only (computed at every save)</translation>
    </message>
    <message>
        <source>チェックサムの規則から計算した値（ファイル上の位置はありません）</source>
        <translation>computed by the checksum's rule (no place in the file)</translation>
    </message>
    <message>
        <source>チェックサムは保存のたびに規則から計算され、ここでは編集できません</source>
        <translation>Checksums are computed by their rules at every save and cannot be edited here</translation>
    </message>
    <message>
        <source>セルの編集</source>
        <translation>Cell edit</translation>
    </message>
    <message>
        <source>値の一覧</source>
        <translation>Value list</translation>
    </message>
    <message>
        <source>値の一覧を開く</source>
        <translation>Open the value list</translation>
    </message>
    <message>
        <source>列の説明</source>
        <translation>Column description</translation>
    </message>
    <message>
        <source>バイナリ</source>
        <translation>Bytes</translation>
    </message>
    <message>
        <source>%1 %2 の編集</source>
        <translation>Editing %1 of %2</translation>
    </message>
</context>
</TS>