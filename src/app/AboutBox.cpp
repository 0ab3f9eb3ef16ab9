#include "app/AboutBox.h"

#include <QDialogButtonBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/Launcher.h"

namespace kelvara {

namespace {

QLabel* LinkLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(
        QStringLiteral("<a href=\"#\" style=\"color:blue\">%1</a>").arg(text.toHtmlEscaped()),
        parent);
    label->setTextFormat(Qt::RichText);
    label->setCursor(Qt::PointingHandCursor);
    label->setWordWrap(true);
    return label;
}

} // namespace

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("About"));
    setObjectName(QStringLiteral("AboutBox"));
    auto* layout = new QVBoxLayout(this);
    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto* lines = new QVBoxLayout(panel);
    ProductName_ = new QLabel(panel);
    ProductName_->setObjectName(QStringLiteral("ProductName"));
    QFont title = ProductName_->font();
    title.setPointSizeF(title.pointSizeF() * 1.6);
    title.setBold(true);
    ProductName_->setFont(title);
    auto* version = new QLabel(QString::fromLatin1(kVersion), panel);
    version->setObjectName(QStringLiteral("Version"));
    auto* rights = new QLabel(tr("批量查找替换与多文档编辑。自由软件，随意使用。"), panel);
    rights->setWordWrap(true);
    auto* comments = LinkLabel(tr("作者：%1").arg(QLatin1String(kMailAddress)), panel);
    comments->setObjectName(QStringLiteral("Comments"));
    connect(comments, &QLabel::linkActivated, this, &TAboutBox::CommentsClick);
    auto* maker = LinkLabel(tr("主页：%1").arg(QLatin1String(kWebAddress)), panel);
    maker->setObjectName(QStringLiteral("Label1"));
    connect(maker, &QLabel::linkActivated, this, &TAboutBox::Label1Click);
    for (QWidget* line : {static_cast<QWidget*>(ProductName_), static_cast<QWidget*>(version),
                          static_cast<QWidget*>(rights), static_cast<QWidget*>(comments),
                          static_cast<QWidget*>(maker)})
        lines->addWidget(line);
    layout->addWidget(panel);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setText(tr("OK"));
    ok->setDefault(true);
    ok->setFocus();
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    setFixedSize(sizeHint().expandedTo(QSize(298, 218)));
}

void TAboutBox::showEvent(QShowEvent* event) {
    ProductName_->setText(QStringLiteral("Kelvara"));
    QDialog::showEvent(event);
}

void TAboutBox::CommentsClick() { RunExplorer(1, kMailAddress); }

void TAboutBox::Label1Click() { RunBrowser(1, kWebAddress); }

} // namespace kelvara
