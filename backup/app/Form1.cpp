#include "backup/app/Form1.h"

#include <QFile>
#include <QFont>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QWindow>

#include "backup/core/BackupTexts.h"
#include "backup/core/TemplateFiles.h"
#include "platform/desktop/widgets/RoundedWindow.h"

namespace vorra::backup {
namespace {

constexpr int kWidth = 460;
constexpr int kHeight = 340;
constexpr int kCaptionHeight = 36;

QString text(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

}  // namespace

Form1::Form1(std::string toolFolder, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      toolFolder_(withOneTrailingSlash(toolFolder)) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(text(kCaption));
    setFixedSize(kWidth, kHeight);

    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setGeometry(16, kCaptionHeight + 12, 280, 180);

    Command2 = new QPushButton(text(kBackupButton), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setGeometry(312, kCaptionHeight + 12, 132, 36);
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });

    Command1 = new QPushButton(text(kQuitButton), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(312, kCaptionHeight + 60, 132, 36);
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });

    Label1 = new QLabel(text(kBackupPlaceLabel), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(16, 240, 428, 20);

    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(16, 262, 428, 20);
    Label2->setTextInteractionFlags(Qt::TextSelectableByMouse);

    Label3Area = new QScrollArea(this);
    Label3Area->setObjectName(QStringLiteral("Label3Area"));
    Label3Area->setGeometry(16, 286, 428, 44);
    Label3Area->setFrameShape(QFrame::NoFrame);
    Label3Area->setWidgetResizable(true);
    Label3Area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Label3 = new QLabel;
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setWordWrap(true);
    Label3->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label3->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Label3Area->setWidget(Label3);
    QFont bold = Label3->font();
    bold.setBold(true);
    Label3->setFont(bold);

    setMask(desktop::roundedOutline(size()));
    Form_Load();
}

void Form1::Form_Load() {
    names_ = listWorkbookFiles(toolFolder_);
    for (const std::string& name : names_)
        List1->addItem(QFile::decodeName(QByteArray(name.data(), static_cast<qsizetype>(name.size()))));
}

void Form1::Command2_Click() {
    const BackupOutcome outcome = backUpWorkbooks(toolFolder_, names_);

    Label2->clear();
    Label2->setText(text(withOneTrailingSlash(backupFolderOf(toolFolder_).string())));
    const QString report = text(outcomeText(outcome));
    Label3->setText(report);
    Label3->setToolTip(outcome.complete() ? QString() : report);
}

void Form1::Command1_Click() { close(); }

void Form1::paintEvent(QPaintEvent*) {
    // Without a title bar the caption is drawn on the window's own body.
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    painter.fillRect(QRect(0, 0, width(), kCaptionHeight), QColor(24, 72, 140));
    QFont font = this->font();
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(16, 0, width() - 32, kCaptionHeight), Qt::AlignLeft | Qt::AlignVCenter,
                     windowTitle());
}

void Form1::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    setMask(desktop::roundedOutline(size()));
}

void Form1::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    event->accept();
    // Let the window manager move the window as if its title bar had been taken.
    if (windowHandle() != nullptr && windowHandle()->startSystemMove()) return;
    dragOffset_ = event->globalPosition().toPoint() - pos();
}

void Form1::mouseMoveEvent(QMouseEvent* event) {
    if (!dragOffset_ || !(event->buttons() & Qt::LeftButton)) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    move(event->globalPosition().toPoint() - *dragOffset_);
}

void Form1::mouseReleaseEvent(QMouseEvent* event) {
    dragOffset_.reset();
    QWidget::mouseReleaseEvent(event);
}

QImage Form1::picture() { return desktop::pictureWithinOutline(*this); }

}  // namespace vorra::backup
