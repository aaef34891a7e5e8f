#include "ui/AboutForm.h"

#include <QDate>
#include <QDesktopServices>
#include <QFile>
#include <QMouseEvent>
#include <QPalette>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>

#include "core/Dialogs.h"
#include "core/ProgramState.h"
#include "ui/JpegImage.h"
#include "ui/Widgets.h"

// The resources live in the static core library; nothing else refers to their object file,
// so the linker keeps it only when it is named here. Must be called outside any namespace.
static void LoadUiResources()
{
    static const bool loaded = [] {
        Q_INIT_RESOURCE(ui);
        return true;
    }();
    (void)loaded;
}

namespace {
const char* const MakerText = "(c) Tarvik Test Systems, 2010-";
// The address as the link shows it, without the scheme, which would not fit the 100 pixels
// left of the dialog in bold "Tahoma". The tooltip shows the whole address.
const char* const WebAddressShown = "tarvik.example";

QLabel* PlaceLabel(QLabel* label, const char* name, int x, int y)
{
    label->setObjectName(QLatin1String(name));
    label->move(x, y);
    return label;
}
} // namespace

const QString TAboutForm::WebAddress = QStringLiteral("https://tarvik.example");

std::function<void(const QUrl&)> TAboutForm::OpenUrl = [](const QUrl& url) { QDesktopServices::openUrl(url); };

QImage AboutLogo()
{
    LoadUiResources();
    QFile file(QStringLiteral(":/ui/logo.jpg"));
    if (!file.open(QIODevice::ReadOnly))
        return QImage();
    return DecodeJpeg(file.readAll());
}

void TAboutClickLabel::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        Pressed = true;
    QLabel::mousePressEvent(event);
}

void TAboutClickLabel::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = Pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        Pressed = false;
    QLabel::mouseReleaseEvent(event);
    if (click)
        emit Clicked();
}

TAboutForm::TAboutForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("AboutForm"));
    setWindowTitle(QStringLiteral("About"));
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    setFixedSize(300, 148);

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(0, 0, 300, 148);
    Panel1->setAutoFillBackground(true);
    QPalette white = Panel1->palette();
    white.setColor(QPalette::Window, Qt::white);
    Panel1->setPalette(white);

    Label1 = PlaceLabel(new QLabel(QStringLiteral("Tarvik"), Panel1), "Label1", 8, 8);
    QFont bold = font();
    bold.setBold(true);
    Label1->setFont(bold);
    Label1->adjustSize();

    VersionLabel = PlaceLabel(new QLabel(Panel1), "VersionLabel", 8, 24);
    MakerLabel = PlaceLabel(new QLabel(Panel1), "MakerLabel", 8, 40);

    Label2 = new TAboutClickLabel(QLatin1String(WebAddressShown), Panel1);
    PlaceLabel(Label2, "Label2", 200, 40);
    QFont link = bold;
    link.setUnderline(true);
    Label2->setFont(link);
    QPalette blue = Label2->palette();
    blue.setColor(QPalette::WindowText, QColor(0, 0, 255));
    Label2->setPalette(blue);
    Label2->setCursor(Qt::PointingHandCursor);
    Label2->setToolTip(WebAddress);
    Label2->adjustSize();
    connect(Label2, &TAboutClickLabel::Clicked, this, &TAboutForm::Label2Click);

    Image2 = new TAboutClickLabel(Panel1);
    PlaceLabel(Image2, "Image2", 8, 56);
    const QImage logo = AboutLogo();
    Image2->setPixmap(QPixmap::fromImage(logo));
    Image2->resize(logo.size());  // the image takes the picture's size
    Image2->setCursor(Qt::PointingHandCursor);
    connect(Image2, &TAboutClickLabel::Clicked, this, &TAboutForm::Image2Click);

    bOK = new QPushButton(QStringLiteral("OK"), Panel1);
    bOK->setObjectName(QStringLiteral("bOK"));
    bOK->setGeometry(109, 120, 81, 25);
    bOK->setDefault(true);
    connect(bOK, &QPushButton::clicked, this, &TAboutForm::bOKClick);

    FormCreate();
}

void TAboutForm::FormCreate()
{
    GuardEvent([&] {
        VersionLabel->setText(QStringLiteral("Version: ") + VersionString);
        VersionLabel->adjustSize();
        MakerLabel->setText(QLatin1String(MakerText) + QDate::currentDate().toString(QStringLiteral("yyyy")));
        MakerLabel->adjustSize();
    });
}

void TAboutForm::bOKClick()
{
    GuardEvent([&] { accept(); });
}

void TAboutForm::Label2Click()
{
    GuardEvent([&] { OpenUrl(QUrl(WebAddress)); });
}

void TAboutForm::Image2Click()
{
    Label2Click();
}

void TAboutForm::showEvent(QShowEvent* event)
{
    // Centred on the screen, also when a parent window is given (Qt would centre on it).
    if (!event->spontaneous())
        CentreOnScreen(this);
    QDialog::showEvent(event);
}
