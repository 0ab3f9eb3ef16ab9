<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>RegexInput</name>
    <message>
        <source>正则表达式有误，在第 %1 个字符：%2</source>
        <translation>The regular expression has a fault at character %1: %2</translation>
    </message>
    <message>
        <source>正则表达式有误：%1</source>
        <translation>The regular expression has a fault: %1</translation>
    </message>
    <message>
        <source>替换的字有误：%1</source>
        <translation>The replacement has a fault: %1</translation>
    </message>
</context>
<context>
    <name>kelvara::BatchNotice</name>
    <message>
        <source>查找完毕</source>
        <translation>Search finished</translation>
    </message>
    <message>
        <source>确定要替换吗？</source>
        <translation>Replace in all ticked files?</translation>
    </message>
    <message>
        <source>提醒</source>
        <translation>Confirm</translation>
    </message>
    <message>
        <source>以下文件含有 NUL 字节，没有改写：</source>
        <translation>These files hold NUL bytes and were not rewritten:</translation>
    </message>
    <message>
        <source>以下文件在替换期间被其他程序改动，没有改写：</source>
        <translation>These files were changed by another program during the replace and were not rewritten:</translation>
    </message>
    <message>
        <source>替换完毕</source>
        <translation>Replace finished</translation>
    </message>
    <message>
        <source>批量替换</source>
        <translation>Replace All</translation>
    </message>
    <message>
        <source>替换所选</source>
        <translation>Replace Ticked</translation>
    </message>
    <message>
        <source>以下文件因编码没有处理：</source>
        <translation>These files were left alone because of their encoding:</translation>
    </message>
    <message>
        <source>正则表达式有误，在第 %1 个字符：%2</source>
        <translation>The regular expression has a fault at character %1: %2</translation>
    </message>
    <message>
        <source>正则表达式有误：%1</source>
        <translation>The regular expression has a fault: %1</translation>
    </message>
    <message>
        <source>正则表达式在以下行试得太久，这些行的其余部分没有查找：</source>
        <translation>The regular expression took too long on these lines; the rest of each was not searched:</translation>
    </message>
</context>
<context>
    <name>kelvara::CommandLine</name>
    <message>
        <source>第一个参数必须是 find 或 replace</source>
        <translation>the first argument must be find or replace</translation>
    </message>
    <message>
        <source>-A、-B 和 -C 要与 --format grep 或 json 一起用</source>
        <translation>-A, -B and -C need --format grep or json</translation>
    </message>
    <message>
        <source>-A、-B、-C 和 --format json 只用于 find</source>
        <translation>-A, -B, -C and --format json are for find</translation>
    </message>
    <message>
        <source>需要 TEXT 和至少一个 PATH</source>
        <translation>expected TEXT and at least one PATH</translation>
    </message>
    <message>
        <source>需要 TEXT、REPLACEMENT 和至少一个 PATH</source>
        <translation>expected TEXT, REPLACEMENT and at least one PATH</translation>
    </message>
    <message>
        <source>要找的字是空的</source>
        <translation>the search text is empty</translation>
    </message>
    <message>
        <source>要替换的字是空的</source>
        <translation>the replacement text is empty</translation>
    </message>
    <message>
        <source>选项 %1 需要一个值</source>
        <translation>option %1 needs a value</translation>
    </message>
    <message>
        <source>未知的选项 %1</source>
        <translation>unknown option %1</translation>
    </message>
    <message>
        <source>选项 %1 需要一个行数</source>
        <translation>option %1 needs a number of lines</translation>
    </message>
    <message>
        <source>选项 %1 不带值</source>
        <translation>option %1 takes no value</translation>
    </message>
    <message>
        <source>选项 %1 需要一个非空的扩展名</source>
        <translation>option %1 needs a non-empty extension</translation>
    </message>
    <message>
        <source>未知的格式 %1（tree、grep 或 json）</source>
        <translation>unknown format %1 (tree, grep or json)</translation>
    </message>
    <message>
        <source>未知的着色方式 %1（auto、always 或 never）</source>
        <translation>unknown colour choice %1 (auto, always or never)</translation>
    </message>
    <message>
        <source>选项 %1 需要 1 到 %2 之间的线程数</source>
        <translation>option %1 needs a number of threads from 1 to %2</translation>
    </message>
    <message>
        <source>选项 --dry-run 只用于 replace</source>
        <translation>option --dry-run belongs to replace</translation>
    </message>
    <message>
        <source>未知的代码页 %1（gbk、utf8 或 auto）</source>
        <translation>unknown code page %1 (gbk, utf8 or auto)</translation>
    </message>
</context>
<context>
    <name>kelvara::DryRun</name>
    <message>
        <source>读取文件 %1 个，将改写文件 %2 个，替换 %3 处（未写入任何文件）</source>
        <translation>%1 files read, %2 files would be rewritten, %3 replacements (nothing written)</translation>
    </message>
    <message>
        <source>以下文件含有 NUL 字节，不会改写：</source>
        <translation>These files hold NUL bytes and would not be rewritten:</translation>
    </message>
    <message>
        <source>以下文件因编码不会改写：</source>
        <translation>These files would not be rewritten because of their encoding:</translation>
    </message>
    <message>
        <source>正则表达式在以下行试得太久，这些行的其余部分没有查找：</source>
        <translation>The regular expression took too long on these lines; the rest of each was not searched:</translation>
    </message>
</context>
<context>
    <name>kelvara::EditorWidget</name>
    <message>
        <source>字符 %1 不能用文本的代码页表示，没有输入。</source>
        <translation>The character %1 cannot be written in the text&apos;s code page; nothing was typed.</translation>
    </message>
    <message>
        <source>输入</source>
        <translation>Typing</translation>
    </message>
    <message>
        <source>剪贴板中的字符 %1 不能用文本的代码页表示，没有粘贴任何内容。</source>
        <translation>The clipboard holds the character %1, which the text&apos;s code page cannot hold; nothing was pasted.</translation>
    </message>
    <message>
        <source>粘贴</source>
        <translation>Paste</translation>
    </message>
</context>
<context>
    <name>kelvara::FileErrors</name>
    <message>
        <source>替换期间被其他程序改动，保持原样</source>
        <translation>changed by another program during the run; left as it was</translation>
    </message>
    <message>
        <source>不是普通文件</source>
        <translation>not a regular file</translation>
    </message>
    <message>
        <source>%1（只读文件）</source>
        <translation>%1 (read-only file)</translation>
    </message>
    <message>
        <source>%1（什么也没有写入）</source>
        <translation>%1 (nothing written)</translation>
    </message>
    <message>
        <source>%1；原来的内容无法写回：%2</source>
        <translation>%1; the old content could not be put back: %2</translation>
    </message>
    <message>
        <source>%1（原来的内容已写回）</source>
        <translation>%1 (old content put back)</translation>
    </message>
    <message>
        <source>文件太大，无法载入</source>
        <translation>file too large to load</translation>
    </message>
    <message>
        <source>不是翻译目录文件</source>
        <translation>not a translation catalogue</translation>
    </message>
    <message>
        <source>内存不足</source>
        <translation>out of memory</translation>
    </message>
</context>
<context>
    <name>kelvara::FileMatch</name>
    <message>
        <source>不是有效的 %1（第 %2 字节）</source>
        <translation>not valid %1 (byte %2)</translation>
    </message>
    <message>
        <source>%1 不能表示替换文字中的 %2</source>
        <translation>%1 cannot hold %2 of the replacement</translation>
    </message>
    <message>
        <source>替换文字含有不是 UTF-8 字符的字节，不能写入 %1</source>
        <translation>the replacement holds bytes that are no UTF-8 characters and cannot be written as %1</translation>
    </message>
</context>
<context>
    <name>kelvara::FileSet</name>
    <message>
        <source>链接的目标不存在</source>
        <translation>the link&apos;s target does not exist</translation>
    </message>
    <message>
        <source>链接指向所选目录之外</source>
        <translation>the link leads out of the chosen folder</translation>
    </message>
    <message>
        <source>无法确定链接的目标</source>
        <translation>the link&apos;s target cannot be determined</translation>
    </message>
    <message>
        <source>目录链接，不跟随</source>
        <translation>a folder link, not followed</translation>
    </message>
    <message>
        <source>命名管道</source>
        <translation>a named pipe</translation>
    </message>
    <message>
        <source>套接字</source>
        <translation>a socket</translation>
    </message>
    <message>
        <source>设备文件</source>
        <translation>a device</translation>
    </message>
    <message>
        <source>无法列出目录</source>
        <translation>the folder cannot be listed</translation>
    </message>
    <message>
        <source>%1：%2</source>
        <translation>%1: %2</translation>
    </message>
</context>
<context>
    <name>kelvara::HitCaption</name>
    <message>
        <source>被找字：</source>
        <translation>Found: </translation>
    </message>
    <message>
        <source> 在: 行： </source>
        <translation> at line: </translation>
    </message>
    <message>
        <source> 列: </source>
        <translation> column: </translation>
    </message>
</context>
<context>
    <name>kelvara::Journal</name>
    <message>
        <source>替换日志写不进去：%1</source>
        <translation>the replace journal cannot be written: %1</translation>
    </message>
    <message>
        <source>读不出来：%1</source>
        <translation>cannot be read: %1</translation>
    </message>
    <message>
        <source>替换以后又被改动过，没有撤销</source>
        <translation>changed since the replace; left as it is</translation>
    </message>
    <message>
        <source>日志里保存的原内容已损坏，没有撤销</source>
        <translation>the old content saved in the journal is damaged; left as it is</translation>
    </message>
    <message>
        <source>没有可以撤销的批量替换</source>
        <translation>no batch replace left to undo</translation>
    </message>
    <message>
        <source>没有这次批量替换：%1</source>
        <translation>no such batch replace: %1</translation>
    </message>
    <message>
        <source>较新的批量替换 %1 又改写了其中的文件；请先撤销它（批量替换要从新到旧撤销）</source>
        <translation>the newer batch replace %1 rewrote some of its files again; undo that one first (batch replaces are undone newest first)</translation>
    </message>
    <message>
        <source>这次批量替换还在进行：%1</source>
        <translation>this batch replace is still running: %1</translation>
    </message>
</context>
<context>
    <name>kelvara::Launcher</name>
    <message>
        <source>是空的</source>
        <translation>It is empty.</translation>
    </message>
</context>
<context>
    <name>kelvara::PathGlob</name>
    <message>
        <source>模式 %1：%2</source>
        <translation>glob %1: %2</translation>
    </message>
    <message>
        <source>什么也匹配不到</source>
        <translation>matches nothing</translation>
    </message>
    <message>
        <source>范围的两端颠倒了</source>
        <translation>a range runs backwards</translation>
    </message>
    <message>
        <source>“[” 没有闭合</source>
        <translation>&quot;[&quot; is not closed</translation>
    </message>
    <message>
        <source>以 “\” 结尾</source>
        <translation>ends in &quot;\&quot;</translation>
    </message>
</context>
<context>
    <name>kelvara::Preview</name>
    <message>
        <source>文件在查找以后被改动过，替换时会跳过它</source>
        <translation>The file changed after the find; the replace will leave it</translation>
    </message>
    <message>
        <source>这一处没有勾选，不会替换</source>
        <translation>This hit is not ticked and will not be replaced</translation>
    </message>
    <message>
        <source>没有勾选的地方</source>
        <translation>Nothing ticked</translation>
    </message>
</context>
<context>
    <name>kelvara::PreviewPane</name>
    <message>
        <source>替换预览</source>
        <translation>Replace preview</translation>
    </message>
</context>
<context>
    <name>kelvara::ProgressLine</name>
    <message>
        <source> 个文件  </source>
        <translation> files  </translation>
    </message>
</context>
<context>
    <name>kelvara::Regex</name>
    <message>
        <source>这个表达式不能做全字匹配：%1</source>
        <translation>whole words cannot be matched with this pattern: %1</translation>
    </message>
    <message>
        <source>替换文字引用的分组 %1 在表达式里不存在</source>
        <translation>the replacement refers to group %1, which the pattern does not have</translation>
    </message>
</context>
<context>
    <name>kelvara::RunCommandLine</name>
    <message>
        <source>，跳过 %1 个</source>
        <translation>, %1 skipped</translation>
    </message>
    <message>
        <source>（-v 列出）</source>
        <translation> (-v lists them)</translation>
    </message>
    <message>
        <source>，用时 %1 秒</source>
        <translation> in %1 s</translation>
    </message>
    <message>
        <source>读取文件 %1 个</source>
        <translation>%1 files read</translation>
    </message>
    <message>
        <source>，有结果的文件 %1 个，找到 %2 处</source>
        <translation>, %1 with hits, %2 hits</translation>
    </message>
    <message>
        <source>，改写文件 %1 个，结果 %2 条，含 NUL 字节未改写 %3 个</source>
        <translation>, %1 rewritten, %2 results, %3 with NUL bytes left alone</translation>
    </message>
    <message>
        <source>以下条目被跳过：</source>
        <translation>These entries were skipped:</translation>
    </message>
    <message>
        <source>replace 要在终端上确认；不经确认就替换请加 --yes</source>
        <translation>replace asks for confirmation on a terminal; give --yes to replace without it</translation>
    </message>
    <message>
        <source>列出目录时内存不足</source>
        <translation>out of memory while listing the folders</translation>
    </message>
    <message>
        <source>%1: %2（无法显示它的行）</source>
        <translation>%1: %2 (its lines could not be shown)</translation>
    </message>
    <message>
        <source>标准输出：%1</source>
        <translation>standard output: %1</translation>
    </message>
    <message>
        <source>各文件的编码：</source>
        <translation>The encoding of each file:</translation>
    </message>
    <message>
        <source>以下文件因编码没有查找：</source>
        <translation>These files were not searched because of their encoding:</translation>
    </message>
    <message>
        <source>以下文件因编码没有改写：</source>
        <translation>These files were not rewritten because of their encoding:</translation>
    </message>
    <message>
        <source>正则表达式在以下行试得太久，这些行的其余部分没有查找：</source>
        <translation>The regular expression took too long on these lines; the rest of each was not searched:</translation>
    </message>
    <message>
        <source>TEXT 的正则表达式有误，在第 %1 个字符：%2</source>
        <translation>The regular expression TEXT is wrong at character %1: %2</translation>
    </message>
    <message>
        <source>TEXT 的正则表达式有误：%1</source>
        <translation>The regular expression TEXT is wrong: %1</translation>
    </message>
</context>
<context>
    <name>kelvara::TAboutBox</name>
    <message>
        <source>About</source>
        <translation>About</translation>
    </message>
    <message>
        <source>批量查找替换与多文档编辑。自由软件，随意使用。</source>
        <translation>Batch find and replace, and a multi-document editor. Free software: use it as you like.</translation>
    </message>
    <message>
        <source>作者：%1</source>
        <translation>Author: %1</translation>
    </message>
    <message>
        <source>主页：%1</source>
        <translation>Home page: %1</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>kelvara::TMDIChild</name>
    <message>
        <source>正常编辑</source>
        <translation>Plain editing</translation>
    </message>
    <message>
        <source>高亮显示</source>
        <translation>Highlighted</translation>
    </message>
    <message>
        <source>%1 已经被修改</source>
        <translation>%1 modified</translation>
    </message>
    <message>
        <source>%1 已经被保存</source>
        <translation>%1 saved</translation>
    </message>
    <message>
        <source>撤销(&amp;U)</source>
        <translation>&amp;Undo</translation>
    </message>
    <message>
        <source>剪切(&amp;T)</source>
        <translation>Cu&amp;t</translation>
    </message>
    <message>
        <source>复制(&amp;C)</source>
        <translation>&amp;Copy</translation>
    </message>
    <message>
        <source>粘贴(&amp;P)</source>
        <translation>&amp;Paste</translation>
    </message>
    <message>
        <source>删除(&amp;D)</source>
        <translation>&amp;Delete</translation>
    </message>
    <message>
        <source>全选(&amp;A)</source>
        <translation>Select &amp;All</translation>
    </message>
    <message>
        <source>复制</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>剪切</source>
        <translation>Cut</translation>
    </message>
    <message>
        <source>张贴</source>
        <translation>Paste</translation>
    </message>
    <message>
        <source>剪贴板中的字符 %1 不能用当前的代码页保存，没有粘贴。</source>
        <translation>The clipboard holds the character %1, which the current code page cannot hold; nothing was pasted.</translation>
    </message>
    <message>
        <source>%1 被修改了，是否保存?</source>
        <translation>%1 has been modified. Save it?</translation>
    </message>
</context>
<context>
    <name>kelvara::TMainForm</name>
    <message>
        <source>新建</source>
        <translation>New</translation>
    </message>
    <message>
        <source>新建一个文档</source>
        <translation>New document</translation>
    </message>
    <message>
        <source>打开（可以批量）</source>
        <translation>Open (one or many)</translation>
    </message>
    <message>
        <source>打开一个或多个文件</source>
        <translation>Open one or more files</translation>
    </message>
    <message>
        <source>打开</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>关闭当前</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>关闭当前文档</source>
        <translation>Close the current document</translation>
    </message>
    <message>
        <source>关闭全部</source>
        <translation>Close All</translation>
    </message>
    <message>
        <source>关闭全部文档</source>
        <translation>Close all documents</translation>
    </message>
    <message>
        <source>保存当前</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>保存当前文档</source>
        <translation>Save the current document</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>当前另存为</source>
        <translation>Save As</translation>
    </message>
    <message>
        <source>用新的名字保存当前文档</source>
        <translation>Save the current document under a new name</translation>
    </message>
    <message>
        <source>保存全部</source>
        <translation>Save All</translation>
    </message>
    <message>
        <source>保存全部文档</source>
        <translation>Save all documents</translation>
    </message>
    <message>
        <source>清空历史地址</source>
        <translation>Clear History</translation>
    </message>
    <message>
        <source>清空打开过的文件列表</source>
        <translation>Clear the list of opened files</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Quit</translation>
    </message>
    <message>
        <source>退出 Kelvara</source>
        <translation>Quit Kelvara</translation>
    </message>
    <message>
        <source>只读</source>
        <translation>Read-only</translation>
    </message>
    <message>
        <source>当前文档设为只读</source>
        <translation>Make the current document read-only</translation>
    </message>
    <message>
        <source>查找当前</source>
        <translation>Find</translation>
    </message>
    <message>
        <source>在当前文档中查找</source>
        <translation>Find in the current document</translation>
    </message>
    <message>
        <source>替换当前</source>
        <translation>Replace</translation>
    </message>
    <message>
        <source>在当前文档中替换</source>
        <translation>Replace in the current document</translation>
    </message>
    <message>
        <source>批量查找替换</source>
        <translation>Batch Find/Replace</translation>
    </message>
    <message>
        <source>在多个文件中查找替换</source>
        <translation>Find and replace in many files</translation>
    </message>
    <message>
        <source>关于</source>
        <translation>About</translation>
    </message>
    <message>
        <source>关于 Kelvara</source>
        <translation>About Kelvara</translation>
    </message>
    <message>
        <source>文件</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>重新打开</source>
        <translation>Reopen</translation>
    </message>
    <message>
        <source>处理</source>
        <translation>&amp;Process</translation>
    </message>
    <message>
        <source>帮助</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>工具栏</source>
        <translation>Toolbar</translation>
    </message>
    <message>
        <source>重复了</source>
        <translation>This file is already open.</translation>
    </message>
    <message>
        <source>正在加载。。。</source>
        <translation>Loading...</translation>
    </message>
    <message>
        <source>加载完毕!</source>
        <translation>Loaded.</translation>
    </message>
    <message>
        <source>%1 已被其他程序修改，是否重新加载?</source>
        <translation>%1 has been changed by another program. Load it again?</translation>
    </message>
    <message>
        <source>
当前的修改将会丢失。</source>
        <translation>
The changes made here will be lost.</translation>
    </message>
    <message>
        <source>已经保存了</source>
        <translation>Saved.</translation>
    </message>
    <message>
        <source>%1 已经存在，是否替换?</source>
        <translation>%1 already exists. Replace it?</translation>
    </message>
    <message>
        <source>全部——已经保存了</source>
        <translation>All saved.</translation>
    </message>
    <message>
        <source>%1 已被批量替换改写，而编辑器里还有没保存的修改。
保留编辑器里的文字（是），还是载入文件的新内容（否）？</source>
        <translation>%1 was rewritten by a batch replace while the editor holds unsaved changes.
Keep the editor&apos;s text (Yes), or load the file&apos;s new content (No)?</translation>
    </message>
    <message>
        <source>当前文档的编码</source>
        <translation>Encoding of the current document</translation>
    </message>
    <message>
        <source>%1 不是有效的 UTF-16（从第 %2 个字节起），以只读方式打开。</source>
        <translation>%1 is not valid UTF-16 (from byte %2 on); it is opened read-only.</translation>
    </message>
    <message>
        <source>编码</source>
        <translation>&amp;Encoding</translation>
    </message>
    <message>
        <source>以 GBK 重新打开</source>
        <translation>Reopen as GBK</translation>
    </message>
    <message>
        <source>按 GBK 重新读入当前文档的文件</source>
        <translation>Read the current document&apos;s file again as GBK</translation>
    </message>
    <message>
        <source>以 UTF-8 重新打开</source>
        <translation>Reopen as UTF-8</translation>
    </message>
    <message>
        <source>按 UTF-8 重新读入当前文档的文件</source>
        <translation>Read the current document&apos;s file again as UTF-8</translation>
    </message>
    <message>
        <source>保存为 GBK</source>
        <translation>Save as GBK</translation>
    </message>
    <message>
        <source>用 GBK 保存当前文档</source>
        <translation>Save the current document in GBK</translation>
    </message>
    <message>
        <source>保存为 UTF-8</source>
        <translation>Save as UTF-8</translation>
    </message>
    <message>
        <source>用 UTF-8 保存当前文档</source>
        <translation>Save the current document in UTF-8</translation>
    </message>
    <message>
        <source>保存为 UTF-8（带 BOM）</source>
        <translation>Save as UTF-8 with BOM</translation>
    </message>
    <message>
        <source>用 UTF-8 保存当前文档，文件以 BOM 开头</source>
        <translation>Save the current document in UTF-8, the file starting with a byte-order mark</translation>
    </message>
    <message>
        <source>%1 还没有文件，不能重新打开。</source>
        <translation>%1 has no file yet and cannot be reopened.</translation>
    </message>
    <message>
        <source>%1 有没保存的修改，以 %2 重新打开会丢失它们。是否继续?</source>
        <translation>%1 has unsaved changes; reopening it as %2 loses them. Go on?</translation>
    </message>
    <message>
        <source>%1 第 %2 行的字符 %3 不能用 %4 保存，文件没有写。</source>
        <translation>%1, line %2: the character %3 cannot be saved in %4. The file was not written.</translation>
    </message>
    <message>
        <source>%1 第 %2 行有不是 %3 字符的字节，不能转换成 %4，文件没有写。</source>
        <translation>%1, line %2: bytes that are no %3 character cannot be converted to %4. The file was not written.</translation>
    </message>
    <message>
        <source>%1 不是有效的 UTF-16，修改后不能再按 UTF-16 保存，文件没有写。可以在“编码”菜单中保存为 UTF-8 或 GBK。</source>
        <translation>%1 is not valid UTF-16: once edited it cannot be saved as UTF-16 again. The file was not written. The Encoding menu can save it as UTF-8 or GBK.</translation>
    </message>
    <message>
        <source>%1 没有保存的修改没能另存：%2</source>
        <translation>The unsaved changes of %1 could not be kept: %2</translation>
    </message>
    <message>
        <source>%1 没有保存的修改另存在 %2</source>
        <translation>The unsaved changes of %1 are kept in %2</translation>
    </message>
    <message>
        <source>%1 没能移到 %2：%3</source>
        <translation>%1 could not be moved to %2: %3</translation>
    </message>
    <message>
        <source>Kelvara 上次被系统关闭时，有 %1 个文档没有保存。它们的修改另存在 %2，现在打开了。</source>
        <translation>When Kelvara was last closed by the system, %1 document(s) had unsaved changes. Their text was kept in %2 and is opened now.</translation>
    </message>
</context>
<context>
    <name>kelvara::TMemoComponent</name>
    <message>
        <source>文本太长，编辑器容纳不下。</source>
        <translation>The text is too long for the editor.</translation>
    </message>
</context>
<context>
    <name>kelvara::Tfrmdaohangtest</name>
    <message>
        <source>要找的字</source>
        <translation>Find what</translation>
    </message>
    <message>
        <source>要替换的字</source>
        <translation>Replace with</translation>
    </message>
    <message>
        <source>替换全部</source>
        <translation>Replace all</translation>
    </message>
    <message>
        <source>查找</source>
        <translation>Find</translation>
    </message>
    <message>
        <source>查找下一个</source>
        <translation>Find Next</translation>
    </message>
    <message>
        <source>替换</source>
        <translation>Replace</translation>
    </message>
    <message>
        <source>替换下一个</source>
        <translation>Replace Next</translation>
    </message>
    <message>
        <source>大写小写区别</source>
        <translation>Match case</translation>
    </message>
    <message>
        <source>向上</source>
        <translation>Up</translation>
    </message>
    <message>
        <source>向下</source>
        <translation>Down</translation>
    </message>
    <message>
        <source>所有文本</source>
        <translation>All text</translation>
    </message>
    <message>
        <source>选中文本</source>
        <translation>Selected text</translation>
    </message>
    <message>
        <source>从光标处开始</source>
        <translation>From the cursor</translation>
    </message>
    <message>
        <source>整片文字</source>
        <translation>Entire scope</translation>
    </message>
    <message>
        <source>选项</source>
        <translation>Options</translation>
    </message>
    <message>
        <source>方向</source>
        <translation>Direction</translation>
    </message>
    <message>
        <source>范围</source>
        <translation>Scope</translation>
    </message>
    <message>
        <source>启始位置</source>
        <translation>Origin</translation>
    </message>
    <message>
        <source>替换 %1</source>
        <translation>Replace %1</translation>
    </message>
    <message>
        <source>查找 %1</source>
        <translation>Find %1</translation>
    </message>
    <message>
        <source>文字含有当前代码页不能表示的字符 %1，没有执行。</source>
        <translation>The text holds the character %1, which the current code page cannot hold; nothing was done.</translation>
    </message>
    <message>
        <source>正则表达式</source>
        <translation>Regular expression</translation>
    </message>
    <message>
        <source>第 %1 行让正则表达式试得太久，这一行的其余部分没有查找。</source>
        <translation>The regular expression took too long on line %1; the rest of that line was not searched.</translation>
    </message>
</context>
<context>
    <name>kelvara::Tfrmfindtree</name>
    <message>
        <source>文件夹不存在或无法打开：%1</source>
        <translation>The folder does not exist or cannot be opened: %1</translation>
    </message>
    <message>
        <source>跳过 %1 项（目录外的链接、无法读取的目录等）</source>
        <translation>%1 entries skipped (links out of the folder, folders that cannot be read, ...)</translation>
    </message>
    <message>
        <source>筛选</source>
        <translation>Filter</translation>
    </message>
    <message>
        <source>%1含有当前代码页不能表示的字符 %2，没有执行。</source>
        <translation>%1 holds the character %2, which the current code page cannot hold; nothing was done.</translation>
    </message>
    <message>
        <source>请先输入要找的字。</source>
        <translation>Type the text to find first.</translation>
    </message>
    <message>
        <source>要替换的字</source>
        <translation>Replace with</translation>
    </message>
    <message>
        <source>请先输入要替换的字。</source>
        <translation>Type the replacement text first.</translation>
    </message>
    <message>
        <source>文件 %1 个，找到 %2 处</source>
        <translation>%1 files, %2 hits</translation>
    </message>
    <message>
        <source>文件在查找之后已经改变，第 %1 行不再是找到的文字：%2</source>
        <translation>The file has changed since the search: line %1 no longer holds the text found: %2</translation>
    </message>
    <message>
        <source>查找并形成树结果</source>
        <translation>Find into a Result Tree</translation>
    </message>
    <message>
        <source>从目录中添加添加</source>
        <translation>Add from Folder</translation>
    </message>
    <message>
        <source>从文件列表中添加</source>
        <translation>Add from File List</translation>
    </message>
    <message>
        <source>个数：</source>
        <translation>Count:</translation>
    </message>
    <message>
        <source>筛选:</source>
        <translation>Filter:</translation>
    </message>
    <message>
        <source>方式一添加</source>
        <translation>Pick files</translation>
    </message>
    <message>
        <source>全选</source>
        <translation>Tick All</translation>
    </message>
    <message>
        <source>反选</source>
        <translation>Untick All</translation>
    </message>
    <message>
        <source>删除所选</source>
        <translation>Remove Ticked</translation>
    </message>
    <message>
        <source>删除未选</source>
        <translation>Remove Unticked</translation>
    </message>
    <message>
        <source>清空</source>
        <translation>Clear</translation>
    </message>
    <message>
        <source>要找的字：</source>
        <translation>Find what:</translation>
    </message>
    <message>
        <source>全字匹配 </source>
        <translation>Whole words</translation>
    </message>
    <message>
        <source>忽略被查找字的空格</source>
        <translation>Ignore surrounding blanks</translation>
    </message>
    <message>
        <source>区别大小写</source>
        <translation>Match case</translation>
    </message>
    <message>
        <source>开始批量查找</source>
        <translation>Find All</translation>
    </message>
    <message>
        <source>批量替换</source>
        <translation>Replace All</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>打开定位</source>
        <translation>Open at Hit</translation>
    </message>
    <message>
        <source>复制路径</source>
        <translation>Copy Path</translation>
    </message>
    <message>
        <source>复制这一行</source>
        <translation>Copy This Line</translation>
    </message>
    <message>
        <source>全部展开</source>
        <translation>Expand All</translation>
    </message>
    <message>
        <source>全部折叠</source>
        <translation>Collapse All</translation>
    </message>
    <message>
        <source>包含:</source>
        <translation>Include:</translation>
    </message>
    <message>
        <source>排除:</source>
        <translation>Exclude:</translation>
    </message>
    <message>
        <source>从目录中添加时用的模式，多个用 ; 分隔，相对于所选目录：
*.c  任何一层的 .c 文件
src/**  src 下的一切
**/test_*.py  任何一层的 test_ 开头的 .py 文件
排除的目录不会被打开。</source>
        <translation>Globs for adding from a folder, separated by ;, relative to the chosen folder:
*.c  .c files at any depth
src/**  everything under src
**/test_*.py  .py files starting with test_ at any depth
Excluded folders are never opened.</translation>
    </message>
    <message>
        <source>遵循 .gitignore 和 .ignore 文件</source>
        <translation>Honour .gitignore and .ignore files</translation>
    </message>
    <message>
        <source>从目录中添加时，跳过这些文件列出的文件和目录</source>
        <translation>When adding from a folder, skip the files and folders these files list</translation>
    </message>
    <message>
        <source>模式无法使用：%1</source>
        <translation>The glob cannot be used: %1</translation>
    </message>
    <message>
        <source>grep 格式文本 (*.txt);;CSV (*.csv);;JSON lines (*.jsonl *.json)</source>
        <translation>grep lines (*.txt);;CSV (*.csv);;JSON lines (*.jsonl *.json)</translation>
    </message>
    <message>
        <source>结果.txt</source>
        <translation>results.txt</translation>
    </message>
    <message>
        <source>导出失败：%1</source>
        <translation>Export failed: %1</translation>
    </message>
    <message>
        <source>已导出，但以下文件无法再次读取，它们的结果没有行文字：%1</source>
        <translation>Exported, but these files could not be read again, so their results have no line text: %1</translation>
    </message>
    <message>
        <source>导出结果</source>
        <translation>Export Results</translation>
    </message>
    <message>
        <source>复制所选结果（grep 格式）</source>
        <translation>Copy Selected Results (grep lines)</translation>
    </message>
    <message>
        <source>导出结果…</source>
        <translation>Export Results...</translation>
    </message>
    <message>
        <source>替换所选</source>
        <translation>Replace Ticked</translation>
    </message>
    <message>
        <source>撤销上次批量替换</source>
        <translation>Undo Last Replace</translation>
    </message>
    <message>
        <source>以下文件打开着，还有没保存的修改；替换以后会问您保留哪一边。仍要替换吗？%1</source>
        <translation>These files are open with unsaved changes; after the replace you will be asked which text to keep. Replace all the same?%1</translation>
    </message>
    <message>
        <source>提醒</source>
        <translation>Confirm</translation>
    </message>
    <message>
        <source>请先查找，再勾选要替换的地方。</source>
        <translation>Find first, then tick the hits to replace.</translation>
    </message>
    <message>
        <source>确定要撤销上次批量替换吗？</source>
        <translation>Undo the last batch replace?</translation>
    </message>
    <message>
        <source>撤销完毕：恢复文件 %1 个</source>
        <translation>Undo finished: %1 files restored</translation>
    </message>
    <message>
        <source>编码：</source>
        <translation>Encoding:</translation>
    </message>
    <message>
        <source>自动</source>
        <translation>Auto</translation>
    </message>
    <message>
        <source>自动：每个文件按自己的编码（字节顺序标记、是否为有效的 UTF-8）；GBK 或 UTF-8：没有字节顺序标记的文件都按它处理</source>
        <translation>Auto: each file in its own encoding (byte-order mark, valid UTF-8 or not); GBK or UTF-8: every file without a byte-order mark is taken to be in it</translation>
    </message>
    <message>
        <source>正则表达式</source>
        <translation>Regular expression</translation>
    </message>
    <message>
        <source>要找的字是正则表达式（PCRE2）；要替换的字里 $1、${名字} 代表分组，$0 代表找到的字，$$ 代表 $</source>
        <translation>The search text is a regular expression (PCRE2); in the replacement $1 and ${name} stand for groups, $0 for the match, $$ for $</translation>
    </message>
</context>
<context>
    <name>kelvara::Undo</name>
    <message>
        <source>进行中</source>
        <translation>running</translation>
    </message>
    <message>
        <source>已撤销</source>
        <translation>undone</translation>
    </message>
    <message>
        <source>完成</source>
        <translation>complete</translation>
    </message>
    <message>
        <source>中断（进程被终止）</source>
        <translation>interrupted (the process was killed)</translation>
    </message>
    <message>
        <source>，日志已损坏（只信其中完整的记录）</source>
        <translation>, journal damaged (only its whole records are trusted)</translation>
    </message>
    <message>
        <source>替换日志里没有批量替换</source>
        <translation>the replace journal holds no batch replace</translation>
    </message>
    <message>
        <source>%1 个文件</source>
        <translation>%1 files</translation>
    </message>
    <message>
        <source>撤销完毕：恢复文件 %1 个</source>
        <translation>Undo finished: %1 files restored</translation>
    </message>
    <message>
        <source>，%1 个本来就是原样</source>
        <translation>, %1 already as before</translation>
    </message>
    <message>
        <source>，%1 个没有恢复：</source>
        <translation>, %1 not restored:</translation>
    </message>
    <message>
        <source>用法：kelvara undo [--list] [RUN]
  撤销一次批量替换：它改写过的每个文件，只要还是它写下的内容，就恢复原来的
  内容；之后又被改动的文件保持原样并列出。
  RUN 是一次替换的名字或它在列表中的序号（默认：最新的一次还没有撤销的
  替换）；从最新的开始撤销。
  -l, --list   列出替换日志中的各次替换，最新的在前
退出状态：0 这次替换的每个文件都恢复原样，1 没有可以撤销的，2 有文件没有
恢复，或者这次替换被拒绝。
</source>
        <translation>usage: kelvara undo [--list] [RUN]
  Takes back a batch replace: every file it rewrote that still holds what it
  wrote gets its old content back; a file changed since is left and listed.
  RUN is a run&apos;s name or its number in the list (default: the newest run not
  undone yet); runs are undone newest first.
  -l, --list   list the runs of the journal, newest first
Exit status: 0 every file of the run is as before, 1 nothing to undo, 2 a file
was left or the run was refused.
</translation>
    </message>
    <message>
        <source>undo 只接受一个 RUN</source>
        <translation>undo takes one RUN</translation>
    </message>
</context>
<context>
    <name>kelvara::Usage</name>
    <message>
        <source>用法：kelvara find [选项] TEXT PATH...
在每个 PATH（文件，或目录下的所有文件）中查找 TEXT。
</source>
        <translation>usage: kelvara find [OPTIONS] TEXT PATH...
Finds TEXT in each PATH (a file, or every file below a folder).
</translation>
    </message>
    <message>
        <source>用法：kelvara replace [选项] TEXT REPLACEMENT PATH...
在每个 PATH（文件，或目录下的所有文件）中把 TEXT 替换为 REPLACEMENT。
</source>
        <translation>usage: kelvara replace [OPTIONS] TEXT REPLACEMENT PATH...
Replaces TEXT by REPLACEMENT in each PATH (a file, or every file below a folder).
</translation>
    </message>
    <message>
        <source>  -A, --after-context N
                       同时显示每个命中行之后的 N 行（grep、json）
  -B, --before-context N
                       同时显示每个命中行之前的 N 行
  -C, --context N      前后各 N 行；grep 格式中命中行是 路径:行:列:文字，
                       它周围的行是 路径-行-文字，两组之间是 &quot;--&quot;
      --threads N      用 N 个线程读取和匹配文件（默认每个核一个；1 只用一个
                       线程）；输出不变；也用于 replace --dry-run
</source>
        <translation>  -A, --after-context N
                       also show N lines after each hit line (grep, json)
  -B, --before-context N
                       also show N lines before each hit line
  -C, --context N      N lines before and after; in grep format a hit line is
                       path:line:column:text, a line around it path-line-text,
                       &quot;--&quot; between groups
      --threads N      read and match files on N threads (default: one per core;
                       1 keeps to one thread); the output stays the same; also
                       for replace --dry-run
</translation>
    </message>
    <message>
        <source>选项：
</source>
        <translation>Options:
</translation>
    </message>
    <message>
        <source>只用于 find：
</source>
        <translation>find only:
</translation>
    </message>
    <message>
        <source>只用于 replace：
</source>
        <translation>replace only:
</translation>
    </message>
    <message>
        <source>用法：kelvara [文件...]              打开窗口，文件在窗口中打开
      kelvara find    [选项] TEXT PATH...
      kelvara replace [选项] TEXT REPLACEMENT PATH...
      kelvara undo    [--list] [RUN]    （kelvara undo --help）
      kelvara -h | --help | --version
</source>
        <translation>usage: kelvara [FILE...]              open the window with the files in it
       kelvara find    [OPTIONS] TEXT PATH...
       kelvara replace [OPTIONS] TEXT REPLACEMENT PATH...
       kelvara undo    [--list] [RUN]    (kelvara undo --help)
       kelvara -h | --help | --version
</translation>
    </message>
    <message>
        <source>  -y, --yes            不经确认直接替换
  -n, --dry-run        什么也不写；把会改动的地方以统一 diff 格式列出
                       （patch -p0 可以应用它）
</source>
        <translation>  -y, --yes            replace without the confirmation question
  -n, --dry-run        write nothing; print what would change as a unified diff
                       (patch -p0 applies it)
</translation>
    </message>
    <message>
        <source>  -h, --help           显示这段说明
      --version        显示版本
退出状态：0 找到了或替换了（或者会替换），1 什么也没有，2 出错。
</source>
        <translation>  -h, --help           show this usage
      --version        show the version
Exit status: 0 found or replaced (or would be), 1 nothing, 2 error.
</translation>
    </message>
    <message>
        <source>  -c, --case           区别大小写
  -w, --word           全字匹配
  -s, --trim           忽略 TEXT 和每一行两端的空白
  -E, --regex          TEXT 是正则表达式（PCRE2）；REPLACEMENT 中 $1、${名字}
                       是分组，$0 是找到的字，$$ 是 $
  -e, --ext EXT        只勾选扩展名正是 EXT 的文件（&quot;.txt&quot;）；可以重复
  -g, --glob GLOB      遍历目录时只取与 GLOB 相符的条目（&quot;*.c&quot;、&quot;src/**&quot;），
                       或者去掉与 &quot;!GLOB&quot; 相符的条目（&quot;!vendor/**&quot;）；相对于
                       所给的目录；最后一个相符的 GLOB 算数；可以重复
      --ignore-files   遍历目录时遵循 .gitignore 和 .ignore 文件
      --codepage CP    gbk 或 utf8：没有字节顺序标记的文件都按它处理；
                       auto（默认）：每个文件按自己的编码
      --format FMT     tree（默认）、grep（路径:行:列）或 json（JSON lines：
                       begin、match、context、end 和 summary 对象）
  -0, --null           结果中每个路径之后跟一个 NUL 字节，路径不加引号
      --color WHEN     给路径、行号和找到的字着色：auto（默认：只在终端上，
                       并且没有设置 NO_COLOR）、always 或 never
  -v, --verbose        列出每个文件的编码和遍历目录时跳过的条目
</source>
        <translation>  -c, --case           letter case significant
  -w, --word           whole words only
  -s, --trim           ignore surrounding blanks of TEXT and of each line
  -E, --regex          TEXT is a regular expression (PCRE2); in REPLACEMENT $1 and
                       ${name} are groups, $0 the match, $$ a dollar sign
  -e, --ext EXT        tick only files whose extension is EXT (&quot;.txt&quot;); repeatable
  -g, --glob GLOB      folder walks take only entries matching GLOB (&quot;*.c&quot;,
                       &quot;src/**&quot;), or leave out those matching &quot;!GLOB&quot; (&quot;!vendor/**&quot;);
                       relative to the folder named; the last matching GLOB wins;
                       repeatable
      --ignore-files   folder walks honour .gitignore and .ignore files
      --codepage CP    gbk or utf8: take every file without a byte-order mark to
                       be in it; auto (default): each file&apos;s own encoding
      --format FMT     tree (default), grep (path:line:column) or json (JSON lines:
                       begin, match, context, end and summary objects)
  -0, --null           end each path of the results with a NUL byte, unquoted
      --color WHEN     colour paths, line numbers and hits: auto (default: only on
                       a terminal and without NO_COLOR), always or never
  -v, --verbose        list each file&apos;s encoding and the entries the folder walks
                       skipped
</translation>
    </message>
</context>
<context>
    <name>kelvara::main</name>
    <message>
        <source>无法载入窗口部分：%1</source>
        <translation>cannot load the window part: %1</translation>
    </message>
    <message>
        <source>%2 旁边没有窗口部分（%1）</source>
        <translation>the window part (%1) is missing beside %2</translation>
    </message>
    <message>
        <source>没有可以打开窗口的显示器</source>
        <translation>no display to open the window on</translation>
    </message>
</context>
</TS>
