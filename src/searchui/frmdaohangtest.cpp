#include "searchui/frmdaohangtest.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/AskUser.h"
#include "common/CodePageConversion.h"
#include "common/ProcessValues.h"
#include "searchui/DocumentFrame.h"
#include "searchui/RegexInput.h"
#include "searchui/UiText.h"
#include "syntax/SourceEdit.h"

namespace kelvara {

namespace {

// Two boxes of a group that work like a pair of radio buttons.
void Pair(QCheckBox* a, QCheckBox* b) {
    QObject::connect(a, &QCheckBox::clicked, b, [b](bool on) { b->setChecked(!on); });
    QObject::connect(b, &QCheckBox::clicked, a, [a](bool on) { a->setChecked(!on); });
}

QGroupBox* Group(const QString& caption, QCheckBox* a, QCheckBox* b = nullptr) {
    auto* group = new QGroupBox(caption);
    auto* layout = new QHBoxLayout(group);
    layout->addWidget(a);
    if (b != nullptr) layout->addWidget(b);
    return group;
}

} // namespace

Tfrmdaohangtest::Tfrmdaohangtest(DocumentFrame& frame, DocumentWindow& document)
    : QDialog(frame.FrameWidget(), Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                       Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint),
      frame_(frame), document_(document) {
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(WindowFont());
    setFixedSize(474, 335);
    Label1 = new QLabel(tr("要找的字"), this);
    Edit1 = new QLineEdit(this);
    Panel3 = new QWidget(this);
    Label2 = new QLabel(tr("要替换的字"), Panel3);
    Edit2 = new QLineEdit(Panel3);
    CheckBox6 = new QCheckBox(tr("替换全部"), Panel3);
    auto* replaceRow = new QHBoxLayout(Panel3);
    replaceRow->setContentsMargins(0, 0, 0, 0);
    replaceRow->addWidget(Label2);
    replaceRow->addWidget(Edit2, 1);
    replaceRow->addWidget(CheckBox6);

    BitBtn1 = new QPushButton(tr("查找"), this);
    BitBtn2 = new QPushButton(tr("查找下一个"), this);
    Button1 = new QPushButton(tr("替换"), this);
    Button2 = new QPushButton(tr("替换下一个"), this);
    BitBtn1->setDefault(true);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {BitBtn1, BitBtn2, Button1, Button2})
        buttons->addWidget(button);

    auto* findRow = new QHBoxLayout;
    findRow->addWidget(Label1);
    findRow->addWidget(Edit1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(findRow);
    layout->addWidget(Panel3);
    layout->addWidget(CreateOptions());
    layout->addStretch(1);
    layout->addLayout(buttons);

    connect(BitBtn1, &QPushButton::clicked, this, &Tfrmdaohangtest::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &Tfrmdaohangtest::BitBtn2Click);
    connect(Button1, &QPushButton::clicked, this, &Tfrmdaohangtest::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &Tfrmdaohangtest::Button2Click);
}

QWidget* Tfrmdaohangtest::CreateOptions() {
    CheckBox1 = new QCheckBox(tr("大写小写区别"));
    CheckBoxRegex = new QCheckBox(tr("正则表达式"));
    CheckBox4 = new QCheckBox(tr("向上"));
    CheckBox5 = new QCheckBox(tr("向下"));
    CheckBox7 = new QCheckBox(tr("所有文本"));
    CheckBox8 = new QCheckBox(tr("选中文本"));
    CheckBox10 = new QCheckBox(tr("从光标处开始"));
    CheckBox11 = new QCheckBox(tr("整片文字"));
    CheckBox5->setChecked(true);
    CheckBox7->setChecked(true);
    CheckBox11->setChecked(true);
    Pair(CheckBox4, CheckBox5);
    Pair(CheckBox7, CheckBox8);
    Pair(CheckBox10, CheckBox11);
    auto* options = new QWidget(this);
    auto* grid = new QGridLayout(options);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(Group(tr("选项"), CheckBox1, CheckBoxRegex), 0, 0);
    grid->addWidget(Group(tr("方向"), CheckBox4, CheckBox5), 0, 1);
    grid->addWidget(Group(tr("范围"), CheckBox7, CheckBox8), 1, 0);
    grid->addWidget(Group(tr("启始位置"), CheckBox10, CheckBox11), 1, 1);
    return options;
}

Tfrmdaohangtest* Tfrmdaohangtest::Open(DocumentFrame& frame, DocumentWindow& document, Mode mode) {
    document.ShowPage(1);
    auto* dialog = qobject_cast<Tfrmdaohangtest*>(document.FindDialog());
    // A dialog closed by the user is on its way out: the document gets a new one.
    if (dialog == nullptr || !dialog->isVisible()) {
        dialog = new Tfrmdaohangtest(frame, document);
        document.SetFindDialog(dialog);
        if (QWidget* parent = frame.FrameWidget())
            dialog->move(parent->geometry().center() - dialog->rect().center());
    }
    dialog->SetMode(mode);
    if (!LastFindText.empty()) dialog->Edit1->setText(QString::fromStdString(LastFindText));
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    dialog->Edit1->setFocus();
    return dialog;
}

void Tfrmdaohangtest::SetMode(Mode mode) {
    const auto* window = dynamic_cast<const QWidget*>(&document_);
    const QString caption = window != nullptr ? window->windowTitle() : PathToQt(document_.Path());
    const bool replacing = mode == Mode::Replace;
    setWindowTitle((replacing ? tr("替换 %1") : tr("查找 %1")).arg(caption));
    Panel3->setVisible(replacing);
    Button1->setVisible(replacing);
    Button2->setVisible(replacing);
}

TSourceEdit& Tfrmdaohangtest::View() {
    document_.ShowPage(1);
    return document_.Memohun();
}

void Tfrmdaohangtest::SetOptions(TSourceEdit& view) {
    view.SetSearchOptions(0);
    if (CheckBox1->isChecked()) view.SetSearchOptions(view.SearchOptions() | soMatchCase);
    view.SetSearchOptions(view.SearchOptions() | (CheckBox4->isChecked() ? soBackward : soForward));
    view.SetSearchOptions(view.SearchOptions() |
                          (CheckBox8->isChecked() ? soSelection : soWholeText));
    view.SetSearchOptions(view.SearchOptions() |
                          (CheckBox11->isChecked() ? soFromEdge : soFromCaret));
}

bool Tfrmdaohangtest::InViewPage(const TSourceEdit& view, const std::string& typed,
                                 std::string& out) {
    out.clear();
    if (const auto bad = RecodeText(typed, CodePage::Utf8, view.GetCodePage(), out)) {
        AskUser(MessageText(tr("文字含有当前代码页不能表示的字符 %1，没有执行。"),
                            {CodePointName(bad->codePoint)}),
                "Kelvara", 2);
        return false;
    }
    return true;
}

// The pattern is taken as typed (Unicode); a replacement's own text must fit
// the document's code page.
bool Tfrmdaohangtest::SetRegex(TSourceEdit& view, bool replacing) {
    if (!CheckBoxRegex->isChecked()) {
        view.SetSearchRegex(nullptr);
        return true;
    }
    const QString replacement = Edit2->text();
    const std::optional<TypedRegex> typed = CompileTypedRegex(
        Edit1->text(), replacing ? &replacement : nullptr, {.caseless = !CheckBox1->isChecked()});
    if (!typed) return false;
    if (typed->replacement) {
        if (const auto missing = typed->replacement->MissingFrom(view.GetCodePage())) {
            AskUser(MessageText(tr("文字含有当前代码页不能表示的字符 %1，没有执行。"),
                                {CodePointName(*missing)}),
                    "Kelvara", 2);
            return false;
        }
    }
    view.SetSearchRegex(typed->pattern, typed->replacement);
    return true;
}

void Tfrmdaohangtest::TellLimit(const TSourceEdit& view) {
    if (view.RegexLimitRow() == 0) return;
    AskUser(MessageText(tr("第 %1 行让正则表达式试得太久，这一行的其余部分没有查找。"),
                        {std::to_string(view.RegexLimitRow())}),
            "Kelvara", 0);
}

void Tfrmdaohangtest::BitBtn1Click() {
    TSourceEdit& view = View();
    const std::string typed = Edit1->text().toStdString();
    std::string text;
    if (!InViewPage(view, typed, text)) return;
    LastFindText = typed;
    if (LastFindText.empty()) return;
    if (!SetRegex(view, false)) return;
    SetOptions(view);
    view.FindNext(text);
    TellLimit(view);
}

void Tfrmdaohangtest::BitBtn2Click() {
    TSourceEdit& view = View();
    std::string text;
    if (LastFindText.empty() || !InViewPage(view, LastFindText, text)) return;
    if (!view.FindNext(text)) {
        view.SetSelStart(view.SelStart() + view.SelLength());
        view.SetSelLength(0);
    }
    TellLimit(view);
}

void Tfrmdaohangtest::Button1Click() {
    TSourceEdit& view = View();
    const std::string typed = Edit1->text().toStdString();
    const std::string typedReplacement = Edit2->text().toStdString();
    std::string text;
    std::string replacement;
    if (!InViewPage(view, typed, text) || !InViewPage(view, typedReplacement, replacement)) return;
    LastFindText = typed;
    LastReplaceText = typedReplacement;
    if (LastFindText.empty()) return;
    if (!SetRegex(view, true)) return;
    SetOptions(view);
    view.ReplaceFound(text, replacement, CheckBox6->isChecked());
    document_.SetModified(true);
    TellLimit(view);
}

void Tfrmdaohangtest::Button2Click() {
    TSourceEdit& view = View();
    std::string text;
    std::string replacement;
    if (!LastFindText.empty() && InViewPage(view, LastFindText, text) &&
        InViewPage(view, LastReplaceText, replacement))
        view.ReplaceFound(text, replacement, false);
    document_.SetModified(true);
}

// Enter finds, Esc finds the next (the form's default and cancel buttons).
void Tfrmdaohangtest::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        BitBtn2Click();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace kelvara
