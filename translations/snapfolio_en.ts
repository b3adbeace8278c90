<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja_JP">
<context>
    <name>AlbumConv</name>
    <message>
        <source>0005 : %1のJPEGからの変換に失敗した。</source>
        <translation>0005 : Could not convert %1 from JPEG.</translation>
    </message>
    <message>
        <source>0006 : JPEG領域の確保ができない。</source>
        <translation>0006 : Could not allocate the JPEG encoder.</translation>
    </message>
    <message>
        <source>0007 : %1のJPEGへの変換に失敗した。</source>
        <translation>0007 : Could not encode %1 as JPEG.</translation>
    </message>
    <message>
        <source>0008 : %1のJPEGの格納に失敗した。</source>
        <translation>0008 : Could not save the JPEG file of %1.</translation>
    </message>
    <message>
        <source>0009 : %1のJPEGからの変換に失敗した。</source>
        <translation>0009 : Could not convert %1 from JPEG.</translation>
    </message>
    <message>
        <source>000A : JPEG領域の確保ができない。</source>
        <translation>000A : Could not allocate the JPEG encoder.</translation>
    </message>
    <message>
        <source>000B : %1のJPEGへの変換に失敗した。</source>
        <translation>000B : Could not encode %1 as JPEG.</translation>
    </message>
    <message>
        <source>000C : %1のJPEGの格納に失敗した。</source>
        <translation>000C : Could not save the JPEG file of %1.</translation>
    </message>
    <message>
        <source>0014 : 出力画像%1のファイル名 %2 が入力写真と同じです。入力写真を上書きしないよう、変換を中止しました。ファイル名の前後に文字を設定するか、出力ディレクトリを変更してください。</source>
        <translation>0014 : The file name %2 of output image %1 is the input photo itself. The conversion was stopped so that the photo is not overwritten. Set a prefix or suffix, or choose another output directory.</translation>
    </message>
    <message>
        <source>0015 : 出力ファイル名 %1 が複数の出力画像で重複しています。上書きを避けるため、変換を中止しました。ファイル名の前後の文字を画像ごとに変えてください。</source>
        <translation>0015 : The output file name %1 would be used by more than one output image. The conversion was stopped to avoid overwriting. Give each image its own prefix or suffix.</translation>
    </message>
    <message>
        <source>一部が読めない写真が%1枚あり、読めない部分を補って変換しました。元の写真を確認してください。</source>
        <translation>%1 photo(s) could be read only in part; the unreadable parts were filled in. Please check the original photos.</translation>
    </message>
    <message>
        <source>ほか%1枚</source>
        <translation>and %1 more</translation>
    </message>
    <message>
        <source>0000 : iniファイルの領域が確保できない。</source>
        <translation>0000 : Could not allocate the settings file.</translation>
    </message>
    <message>
        <source>0001 : iniファイルの書き込みができない。</source>
        <translation>0001 : Could not write the settings file.</translation>
    </message>
    <message>
        <source>0002 : InFileOpenの表示ができない。</source>
        <translation>0002 : Could not show the photo dialog.</translation>
    </message>
    <message>
        <source>0003 : InFileOpenの取り込みができない。</source>
        <translation>0003 : Could not take over the chosen photos.</translation>
    </message>
    <message>
        <source>0004 : フォームのファオグラウンド処理ができない。</source>
        <translation>0004 : Could not bring the window to the front.</translation>
    </message>
    <message>
        <source>%1 読み込み中</source>
        <translation>Reading %1</translation>
    </message>
    <message>
        <source>HTML変換中</source>
        <translation>Writing the HTML page</translation>
    </message>
    <message>
        <source>変換終了</source>
        <translation>Conversion finished</translation>
    </message>
    <message>
        <source>000E : iniFileの書き込みに失敗した。</source>
        <translation>000E : Could not store the options in the settings file.</translation>
    </message>
    <message>
        <source>%1 格納中</source>
        <translation>Saving %1</translation>
    </message>
    <message>
        <source>000D : JPEG領域の開放に失敗した。</source>
        <translation>000D : Could not release the JPEG encoder.</translation>
    </message>
    <message>
        <source>000F : HTMLページの作成に失敗した。</source>
        <translation>000F : Could not make the HTML page.</translation>
    </message>
    <message>
        <source>0103 : %1の一部が読めないため、補って変換した。</source>
        <translation>0103 : Part of %1 could not be read; it was filled in and converted.</translation>
    </message>
    <message>
        <source>画像1画像2を区別するためにファイル名の前後いずれかに文字を設定してください。</source>
        <translation>Set a prefix or suffix for the file names so that image 1 and image 2 differ.</translation>
    </message>
    <message>
        <source>いずれの画像も指定されていない為に画像の変換は行われません。</source>
        <translation>No image is checked, so no photo is converted.</translation>
    </message>
    <message>
        <source>いずれの画像も指定されていない為にHTMLのみ出力します。</source>
        <translation>No image is checked, so only the HTML page is written.</translation>
    </message>
    <message>
        <source>出力する画像の横幅を指定してください。</source>
        <translation>Enter the width of the output image.</translation>
    </message>
</context>
<context>
    <name>AoutAdjust</name>
    <message>
        <source>0200 : 画素の集計でエラーが発生した </source>
        <translation>0200 : Counting the pixels failed </translation>
    </message>
    <message>
        <source>0201 : カラーの補正値が正しい値でない。 </source>
        <translation>0201 : The colour correction values are not valid. </translation>
    </message>
    <message>
        <source>0300 : 画像補正計算のエラー</source>
        <translation>0300 : Error in the correction formula</translation>
    </message>
    <message>
        <source>  &lt;&lt; 画像情報収集 &gt;&gt;</source>
        <translation>  &lt;&lt; Measuring the image &gt;&gt;</translation>
    </message>
    <message>
        <source>###&#x3000;画像補正中&#x3000;###</source>
        <translation>### Correcting ###</translation>
    </message>
    <message>
        <source>***&#x3000;画像補正完了&#x3000;***</source>
        <translation>*** Correction done ***</translation>
    </message>
</context>
<context>
    <name>AtomicFile</name>
    <message>
        <source>リンク %1 は他のユーザーが置けた場所にあるため、たどらない。</source>
        <translation>The link %1 is not followed: another user could have put it there.</translation>
    </message>
    <message>
        <source>フォルダが存在しない。</source>
        <translation>The folder does not exist.</translation>
    </message>
    <message>
        <source>書き込みの権限がない。</source>
        <translation>No permission to write.</translation>
    </message>
    <message>
        <source>読み取り専用の場所である。</source>
        <translation>The location is read-only.</translation>
    </message>
    <message>
        <source>ディスクの空きが足りない。</source>
        <translation>The disk is full.</translation>
    </message>
    <message>
        <source>同じ名前のフォルダがある。</source>
        <translation>A folder of the same name is in the way.</translation>
    </message>
    <message>
        <source>通常のファイルではない。</source>
        <translation>It is not a regular file.</translation>
    </message>
    <message>
        <source>ファイル名が長すぎる。</source>
        <translation>The file name is too long.</translation>
    </message>
    <message>
        <source>ファイルが大きすぎる。</source>
        <translation>The file is too large.</translation>
    </message>
    <message>
        <source>入出力エラーが起きた。</source>
        <translation>An input/output error occurred.</translation>
    </message>
    <message>
        <source>ファイルを書き込めない。</source>
        <translation>The file cannot be written.</translation>
    </message>
    <message>
        <source>ファイル名にこの場所で使えない文字がある。</source>
        <translation>The file name holds characters this place does not take.</translation>
    </message>
</context>
<context>
    <name>Files</name>
    <message>
        <source>ファイルではなくフォルダである。</source>
        <translation>It is a folder, not a file.</translation>
    </message>
    <message>
        <source>通常のファイルではない。</source>
        <translation>It is not a regular file.</translation>
    </message>
    <message>
        <source>ファイルが存在しない。</source>
        <translation>The file does not exist.</translation>
    </message>
    <message>
        <source>読み取りの権限がない。</source>
        <translation>No permission to read.</translation>
    </message>
    <message>
        <source>ファイルを読み込めない。</source>
        <translation>The file cannot be read.</translation>
    </message>
    <message>
        <source>%1(%2)</source>
        <translation>%1 (%2)</translation>
    </message>
</context>
<context>
    <name>HtmlAnalize</name>
    <message>
        <source>「%1」より前に「%2」がある。</source>
        <translation>&quot;%2&quot; comes before &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>「%1」の1行の枚数が0になっている。</source>
        <translation>The number of photos per row of &quot;%1&quot; is 0.</translation>
    </message>
    <message>
        <source>「%1」の後に1行の枚数(数値)がない。</source>
        <translation>&quot;%1&quot; is not followed by the number of photos per row.</translation>
    </message>
    <message>
        <source>「%1」の後に数値がない。</source>
        <translation>&quot;%1&quot; is not followed by a number.</translation>
    </message>
    <message>
        <source>「%1」で写真の番号が負(%2)のまま繰り返そうとしている。</source>
        <translation>&quot;%1&quot; would repeat with a negative photo number (%2).</translation>
    </message>
    <message>
        <source>「%1」の繰り返しが先へ進まない(写真の番号が%2から%3に戻る)ため、展開が終わらない。</source>
        <translation>The loop of &quot;%1&quot; does not move on (the photo number goes back from %2 to %3), so the expansion would never end.</translation>
    </message>
    <message>
        <source>繰り返しが多すぎる(テンプレートの大きさと写真の枚数から見て処理量が多すぎる)。</source>
        <translation>Too many repetitions (far more work than the template size and the number of photos call for).</translation>
    </message>
    <message>
        <source>「%1」の指す写真がない(写真の番号 %2、写真は%3枚)。</source>
        <translation>&quot;%1&quot; refers to no photo (photo number %2 of %3 photos).</translation>
    </message>
    <message>
        <source>HTMLページが大きくなりすぎる(%1バイトを超える)。</source>
        <translation>The HTML page would grow too large (over %1 bytes).</translation>
    </message>
    <message>
        <source>「%1」に対応する「%2」がない。</source>
        <translation>&quot;%1&quot; has no matching &quot;%2&quot;.</translation>
    </message>
    <message>
        <source>「%1」が「%2」と「%3」の間にない。</source>
        <translation>&quot;%1&quot; does not stand between &quot;%2&quot; and &quot;%3&quot;.</translation>
    </message>
    <message>
        <source>%1行目 %2文字目: %3</source>
        <translation>line %1, column %2: %3</translation>
    </message>
</context>
<context>
    <name>HtmlEdit</name>
    <message>
        <source>000F : HTMLページの作成に失敗した。</source>
        <translation>000F : Could not make the HTML page.</translation>
    </message>
    <message>
        <source>通常のファイルではない。</source>
        <translation>It is not a regular file.</translation>
    </message>
    <message>
        <source>ファイルが大きすぎる(%1 MiBまで)。</source>
        <translation>The file is too large (at most %1 MiB).</translation>
    </message>
    <message>
        <source>読み取りの権限がない。</source>
        <translation>No permission to read.</translation>
    </message>
    <message>
        <source>読み込み中にエラーが起きた。</source>
        <translation>An error occurred while reading.</translation>
    </message>
    <message>
        <source>テンプレートファイルが存在しません。</source>
        <translation>The template file does not exist.</translation>
    </message>
    <message>
        <source>0010 : %1のテンプレートファイルが読み込めない。</source>
        <translation>0010 : Cannot read the template file %1.</translation>
    </message>
    <message>
        <source>0012 : %1のHTMLページが書き込めない。</source>
        <translation>0012 : Cannot write the HTML page %1.</translation>
    </message>
    <message>
        <source>0011 : %1のテンプレートの書式が正しくない。</source>
        <translation>0011 : The template %1 is not well formed.</translation>
    </message>
    <message>
        <source>0013 : %1のファイル日付が取得できない。</source>
        <translation>0013 : Cannot read the file date of %1.</translation>
    </message>
</context>
<context>
    <name>PhotDispSet</name>
    <message>
        <source>横幅「%1」が数値でない。</source>
        <translation>The width &quot;%1&quot; is not a number.</translation>
    </message>
    <message>
        <source>横幅「%1」では画像が作れない(1以上の数値にする)。</source>
        <translation>The width &quot;%1&quot; makes no image (use a number of at least 1).</translation>
    </message>
    <message>
        <source>0100 : タイムスタンプの作成に失敗した。</source>
        <translation>0100 : Could not make the time stamp.</translation>
    </message>
    <message>
        <source>0101 : %1の読み込みに失敗した。</source>
        <translation>0101 : Could not read %1.</translation>
    </message>
    <message>
        <source>%1 サイズ変換中</source>
        <translation>Scaling %1</translation>
    </message>
    <message>
        <source>0102 : %1のサイズ変換に失敗した。</source>
        <translation>0102 : Could not scale %1.</translation>
    </message>
    <message>
        <source>%1&#x3000;画像補正中</source>
        <translation>Correcting %1</translation>
    </message>
    <message>
        <source>写真に画像がない(空のファイル)。</source>
        <translation>The photo holds no picture (an empty file).</translation>
    </message>
</context>
<context>
    <name>PhotoDecoder</name>
    <message>
        <source>写真として読めない。</source>
        <translation>The photo cannot be read.</translation>
    </message>
</context>
<context>
    <name>Raster</name>
    <message>
        <source>出力画像が大きすぎる(%1 x %2ピクセル、%3画素まで)。</source>
        <translation>The output image is too large (%1 x %2 pixels; at most %3).</translation>
    </message>
</context>
<context>
    <name>StampFontDialog</name>
    <message>
        <source>欧文</source>
        <translation>Western</translation>
    </message>
    <message>
        <source>既定</source>
        <translation>Default</translation>
    </message>
    <message>
        <source>記号</source>
        <translation>Symbol</translation>
    </message>
    <message>
        <source>日本語</source>
        <translation>Japanese</translation>
    </message>
    <message>
        <source>INTERFACE_SCRIPT</source>
        <comment>Latin for a translation in Latin letters</comment>
        <translation>Latin</translation>
    </message>
    <message>
        <source>フォント</source>
        <translation>Font</translation>
    </message>
    <message>
        <source>太字</source>
        <translation>Bold</translation>
    </message>
    <message>
        <source>斜体</source>
        <translation>Italic</translation>
    </message>
    <message>
        <source>下線</source>
        <translation>Underline</translation>
    </message>
    <message>
        <source>取り消し線</source>
        <translation>Strikeout</translation>
    </message>
    <message>
        <source>色の選択...</source>
        <translation>Choose colour...</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>フォント名:</source>
        <translation>Font name:</translation>
    </message>
    <message>
        <source>サイズ:</source>
        <translation>Size:</translation>
    </message>
    <message>
        <source>スタイル:</source>
        <translation>Style:</translation>
    </message>
    <message>
        <source>色:</source>
        <translation>Colour:</translation>
    </message>
    <message>
        <source>文字セット:</source>
        <translation>Character set:</translation>
    </message>
    <message>
        <source>2002/05/30 03:15 PM 平成14年</source>
        <translation>2002/05/30 03:15 PM AaBbCcXyz</translation>
    </message>
    <message>
        <source>描画に使うフォント:</source>
        <translation>Drawn with:</translation>
    </message>
</context>
<context>
    <name>TAdjstPropty1</name>
    <message>
        <source>AdjstPropty</source>
        <translation>Correction values</translation>
    </message>
    <message>
        <source>画像１、画像２で共通</source>
        <translation>Shared by image 1 and image 2</translation>
    </message>
    <message>
        <source>色補正</source>
        <translation>Colour correction</translation>
    </message>
    <message>
        <source>(-255～255)</source>
        <translation>(-255 to 255)</translation>
    </message>
    <message>
        <source>明るさ補正</source>
        <translation>Brightness correction</translation>
    </message>
    <message>
        <source>増感係数</source>
        <translation>Gain</translation>
    </message>
    <message>
        <source>白飛び抑制</source>
        <translation>Highlight limit</translation>
    </message>
    <message>
        <source>設定</source>
        <translation>Set</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>TIniFile</name>
    <message>
        <source>16 MiBより大きい</source>
        <translation>it is larger than 16 MiB</translation>
    </message>
    <message>
        <source>設定ファイルが16 MiBを超えるため、書き込まなかった。</source>
        <translation>The settings file would grow beyond 16 MiB; it was not written.</translation>
    </message>
    <message>
        <source>JPEG画像である</source>
        <translation>it is a JPEG image</translation>
    </message>
    <message>
        <source>PNG画像である</source>
        <translation>it is a PNG image</translation>
    </message>
    <message>
        <source>GIF画像である</source>
        <translation>it is a GIF image</translation>
    </message>
    <message>
        <source>TIFF画像である</source>
        <translation>it is a TIFF image</translation>
    </message>
    <message>
        <source>PDF文書である</source>
        <translation>it is a PDF document</translation>
    </message>
    <message>
        <source>ZIPアーカイブである</source>
        <translation>it is a ZIP archive</translation>
    </message>
    <message>
        <source>NULバイトを含む</source>
        <translation>it contains NUL bytes</translation>
    </message>
    <message>
        <source>UTF-8としてもShift-JIS(コードページ932)としても読めない</source>
        <translation>it reads neither as UTF-8 nor as Shift-JIS (code page 932)</translation>
    </message>
    <message>
        <source>0016 : %1 は設定ファイルではない(%2)。このファイルは読み込まず、書き換えもしない。設定は既定値で動作し、保存されない。</source>
        <translation>0016 : %1 is not a settings file (%2). It is neither read nor changed. The program runs with the default settings and stores none.</translation>
    </message>
</context>
<context>
    <name>TJPEGImage</name>
    <message>
        <source>写真が大きすぎる。</source>
        <translation>The photo is too large.</translation>
    </message>
    <message>
        <source>JPEGファイルではない。</source>
        <translation>It is not a JPEG file.</translation>
    </message>
    <message>
        <source>JPEGとして読めない。</source>
        <translation>It cannot be read as a JPEG file.</translation>
    </message>
    <message>
        <source>画像データがない(ヘッダだけのJPEGファイル)。</source>
        <translation>There is no image data (a JPEG file of headers only).</translation>
    </message>
    <message>
        <source>画像データの前でファイルが終わっている。</source>
        <translation>The file ends before its image data.</translation>
    </message>
    <message>
        <source>ファイルが途中で終わっている。</source>
        <translation>The file is cut short.</translation>
    </message>
    <message>
        <source>写真の画素数が多すぎる(%1 x %2ピクセル、%3画素まで)。</source>
        <translation>The photo has too many pixels (%1 x %2 pixels; at most %3).</translation>
    </message>
    <message>
        <source>画像データが少なすぎる(%1バイトでは、ヘッダの%2ピクセルの%3も表せない)。</source>
        <translation>Too little image data (%1 bytes cannot code even %3 of the %2 pixels the header claims).</translation>
    </message>
    <message>
        <source>ファイルが大きすぎる(%1 MiBまで)。</source>
        <translation>The file is too large (at most %1 MiB).</translation>
    </message>
    <message>
        <source>データが途中で終わっている。</source>
        <translation>The data ends early.</translation>
    </message>
    <message>
        <source>データが壊れている。</source>
        <translation>The data is corrupt.</translation>
    </message>
    <message>
        <source>画像が大きすぎる(JPEGの縦横は%1ピクセルまで、この画像は%2)。</source>
        <translation>The image is too large (a JPEG file holds at most %1 pixels a side; this image is %2).</translation>
    </message>
</context>
<context>
    <name>TKeptAlbum</name>
    <message>
        <source>写真のフォルダを指定してください。</source>
        <translation>Please give the photo folder.</translation>
    </message>
    <message>
        <source>写真のフォルダ %1 がありません。</source>
        <translation>The photo folder %1 does not exist.</translation>
    </message>
    <message>
        <source>アルバムのフォルダを指定してください。</source>
        <translation>Please give the album folder.</translation>
    </message>
    <message>
        <source>写真のフォルダ %1 がアルバムのフォルダの中にあります。</source>
        <translation>The photo folder %1 lies inside the album folder.</translation>
    </message>
    <message>
        <source>アルバムサイト</source>
        <translation>Album site</translation>
    </message>
    <message>
        <source>参照</source>
        <translation>Browse</translation>
    </message>
    <message>
        <source>（なくてもよい）https://...</source>
        <translation>(optional) https://...</translation>
    </message>
    <message>
        <source>写真のフォルダ :</source>
        <translation>Photo folder:</translation>
    </message>
    <message>
        <source>アルバムのフォルダ :</source>
        <translation>Album folder:</translation>
    </message>
    <message>
        <source>タイトル :</source>
        <translation>Title:</translation>
    </message>
    <message>
        <source>公開するURL :</source>
        <translation>Published at (URL):</translation>
    </message>
    <message>
        <source>元の写真もアルバムに入れる（ダウンロード用）</source>
        <translation>Put the original photos into the album too (for download)</translation>
    </message>
    <message>
        <source>カタログを作り直す</source>
        <translation>Make the catalogue anew</translation>
    </message>
    <message>
        <source>作成</source>
        <translation>Make</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>中止しました。</source>
        <translation>Stopped. </translation>
    </message>
    <message>
        <source>変換 %1 枚、移動 %2 枚、削除 %3 枚、アルバムの写真 %4 枚、書いたページ %5</source>
        <translation>%1 converted, %2 moved, %3 removed, %4 photos in the album, %5 pages written</translation>
    </message>
    <message>
        <source>、失敗 %1 枚</source>
        <translation>, %1 failed</translation>
    </message>
    <message>
        <source>アルバムサイトを調べています…</source>
        <translation>Looking through the album site…</translation>
    </message>
    <message>
        <source>アルバムのフォルダ %1 を作れません。</source>
        <translation>Cannot create the album folder %1.</translation>
    </message>
    <message>
        <source>アルバムサイト %1 は、ほかの実行が作っている最中です。</source>
        <translation>The album site %1 is busy: another run is making it.</translation>
    </message>
    <message>
        <source>アルバムサイトのカタログを使えません。「カタログを作り直す」で作り直せます。</source>
        <translation>The album site's catalogue cannot be used. &quot;Make the catalogue anew&quot; makes it again.</translation>
    </message>
</context>
<context>
    <name>TPhotoPropty</name>
    <message>
        <source>詳細設定</source>
        <translation>Options</translation>
    </message>
    <message>
        <source>写真の読み込み（画像１、画像２で共通）</source>
        <translation>Reading photos (image 1 and image 2)</translation>
    </message>
    <message>
        <source>撮影時の向きに回転する</source>
        <translation>Rotate to the camera orientation</translation>
    </message>
    <message>
        <source>カラープロファイルをsRGBに変換する</source>
        <translation>Convert colour profiles to sRGB</translation>
    </message>
    <message>
        <source>小さい写真を拡大しない</source>
        <translation>Never enlarge small photos</translation>
    </message>
    <message>
        <source>日付（タイムスタンプとHTML）</source>
        <translation>Date (time stamp and HTML)</translation>
    </message>
    <message>
        <source>ファイルの更新日時</source>
        <translation>File modification time</translation>
    </message>
    <message>
        <source>撮影日時（EXIF）</source>
        <translation>Date taken (EXIF)</translation>
    </message>
    <message>
        <source>出力画像のメタデータ</source>
        <translation>Metadata of the output images</translation>
    </message>
    <message>
        <source>なし</source>
        <translation>None</translation>
    </message>
    <message>
        <source>GPSと個人情報を除いて残す</source>
        <translation>Keep, without GPS and personal data</translation>
    </message>
    <message>
        <source>すべて残す</source>
        <translation>Keep all</translation>
    </message>
    <message>
        <source>設定</source>
        <translation>Set</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>WebPで出力する</source>
        <translation>Write WebP</translation>
    </message>
</context>
<context>
    <name>TSnapfolio</name>
    <message>
        <source>ディレクトリの移動に失敗しました。
</source>
        <translation>Could not change to the directory.
</translation>
    </message>
    <message>
        <source>ディレクトリは作成できませんでした
</source>
        <translation>The directory could not be created
</translation>
    </message>
    <message>
        <source>フォトソース選択</source>
        <translation>Choose photos</translation>
    </message>
    <message>
        <source>JPEGファイル(*.jpeg;*.jpg)</source>
        <translation>JPEG files (*.jpeg;*.jpg)</translation>
    </message>
    <message>
        <source>写真ファイル</source>
        <translation>Photo files</translation>
    </message>
    <message>
        <source>すべてのファイル</source>
        <translation>All files</translation>
    </message>
    <message>
        <source>ＨＴＭＬテンプレート選択</source>
        <translation>Choose the HTML template</translation>
    </message>
    <message>
        <source>DATファイル</source>
        <translation>DAT files</translation>
    </message>
    <message>
        <source>出力ＨＴＭＬファイル選択</source>
        <translation>Choose the HTML output file</translation>
    </message>
    <message>
        <source>HTMLファイル</source>
        <translation>HTML files</translation>
    </message>
    <message>
        <source>出力ディレクトリ</source>
        <translation>Output directory</translation>
    </message>
    <message>
        <source>出力Dir作成</source>
        <translation>Make dir</translation>
    </message>
    <message>
        <source>更新</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>出力画像１ (サムネール） </source>
        <translation>Output image 1 (thumbnail) </translation>
    </message>
    <message>
        <source>横幅</source>
        <translation>Width</translation>
    </message>
    <message>
        <source>ピクセル</source>
        <translation>pixels</translation>
    </message>
    <message>
        <source>ファイル名</source>
        <translation>name</translation>
    </message>
    <message>
        <source>自動補正</source>
        <translation>Auto correct</translation>
    </message>
    <message>
        <source>補正値</source>
        <translation>Values</translation>
    </message>
    <message>
        <source>設定</source>
        <translation>Set</translation>
    </message>
    <message>
        <source>出力画像２</source>
        <translation>Output image 2</translation>
    </message>
    <message>
        <source>HTML出力</source>
        <translation>HTML output</translation>
    </message>
    <message>
        <source>ﾌｧｲﾙ名 :</source>
        <translation>File :</translation>
    </message>
    <message>
        <source>ﾀｲﾄﾙ :</source>
        <translation>Title :</translation>
    </message>
    <message>
        <source>ﾃﾝﾌﾟﾚｰﾄ :</source>
        <translation>Template :</translation>
    </message>
    <message>
        <source>参照</source>
        <translation>Browse</translation>
    </message>
    <message>
        <source>サムネール</source>
        <translation>Thumbnail</translation>
    </message>
    <message>
        <source>&lt;表示幅400ピクセル&gt;</source>
        <translation>&lt;400 pixels wide&gt;</translation>
    </message>
    <message>
        <source>プレビュー</source>
        <translation>Preview</translation>
    </message>
    <message>
        <source>入力</source>
        <translation>Convert</translation>
    </message>
    <message>
        <source>中止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>終了</source>
        <translation>Quit</translation>
    </message>
    <message>
        <source>詳細設定</source>
        <translation>Options</translation>
    </message>
    <message>
        <source>以下のファイルの操作を実行することができない.: Open, Seek, Read, Close.</source>
        <translation>Cannot carry out these file operations: Open, Seek, Read, Close.</translation>
    </message>
    <message>
        <source>%1枚の写真を変換します。よろしいですか？</source>
        <translation>Convert %1 photo(s)?</translation>
    </message>
    <message>
        <source>アルバムのページ %1 を書き出しました。ブラウザで開きますか？</source>
        <translation>The album page %1 has been written. Open it in the browser?</translation>
    </message>
    <message>
        <source>アルバムサイト</source>
        <translation>Album site</translation>
    </message>
    <message>
        <source>アルバムサイト %1 を作りました。ブラウザで開きますか？</source>
        <translation>The album site %1 is made. Open it in the browser?</translation>
    </message>
    <message>
        <source>プレビューは出力画像1を表示します。出力画像1の横幅を入力してください。</source>
        <translation>The preview shows output image 1. Enter the width of output image 1.</translation>
    </message>
</context>
<context>
    <name>TTimePropty</name>
    <message>
        <source>フォントオプション</source>
        <translation>Font options</translation>
    </message>
    <message>
        <source>オートサイズ</source>
        <translation>Auto size</translation>
    </message>
    <message>
        <source>透過背景</source>
        <translation>Transparent background</translation>
    </message>
    <message>
        <source>フォント</source>
        <translation>Font</translation>
    </message>
    <message>
        <source>背景</source>
        <translation>Background</translation>
    </message>
    <message>
        <source>タイムスタンプの位置</source>
        <translation>Position of the time stamp</translation>
    </message>
    <message>
        <source>左上</source>
        <comment>position in the panel</comment>
        <translation>Left</translation>
    </message>
    <message>
        <source>上中央</source>
        <comment>position in the panel</comment>
        <translation>Centre</translation>
    </message>
    <message>
        <source>右上</source>
        <comment>position in the panel</comment>
        <translation>Right</translation>
    </message>
    <message>
        <source>左下</source>
        <comment>position in the panel</comment>
        <translation>Left</translation>
    </message>
    <message>
        <source>下中央</source>
        <comment>position in the panel</comment>
        <translation>Centre</translation>
    </message>
    <message>
        <source>右下</source>
        <comment>position in the panel</comment>
        <translation>Right</translation>
    </message>
    <message>
        <source>左上</source>
        <translation>Top left</translation>
    </message>
    <message>
        <source>上中央</source>
        <translation>Top centre</translation>
    </message>
    <message>
        <source>右上</source>
        <translation>Top right</translation>
    </message>
    <message>
        <source>左下</source>
        <translation>Bottom left</translation>
    </message>
    <message>
        <source>下中央</source>
        <translation>Bottom centre</translation>
    </message>
    <message>
        <source>右下</source>
        <translation>Bottom right</translation>
    </message>
    <message>
        <source>設定</source>
        <translation>Set</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>画像1&#x3000;タイムスタンプ設定</source>
        <translation>Image 1 time stamp</translation>
    </message>
    <message>
        <source>画像１</source>
        <translation>Image 1</translation>
    </message>
    <message>
        <source>サンプル</source>
        <translation>Sample</translation>
    </message>
    <message>
        <source>画像2&#x3000;タイムスタンプ設定</source>
        <translation>Image 2 time stamp</translation>
    </message>
    <message>
        <source>画像２</source>
        <translation>Image 2</translation>
    </message>
    <message>
        <source>色の設定</source>
        <translation>Colour</translation>
    </message>
</context>
</TS>
