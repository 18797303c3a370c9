#include "forms/about_form.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QFrame>
#include <QMouseEvent>
#include <QPalette>
#include <QScreen>
#include <QStyle>
#include <QUrl>

#include "forms/contacts.h"
#include "pictures/jpeg_reader.h"

namespace forms {

namespace {

constexpr QRgb kLinkRed = qRgb(255, 0, 0);
constexpr QRgb kLinkNavy = qRgb(0, 0, 128);
constexpr QRgb kLinkGreen = qRgb(0, 128, 0);
constexpr int kFlashIntervalMs = 300;

QLabel* AddLabel(QWidget* parent, const char* name, const QString& text, int x, int y) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromUtf8(name));
    l->move(x, y);
    l->adjustSize();
    return l;
}

}  // namespace

void FlashWindow(QWidget* window, bool /*invert*/) {
    // The window manager shows the request in the caption or the task bar.
    QApplication::alert(window, kFlashIntervalMs);
}

void ShellExecute(const QString& link) {
    QDesktopServices::openUrl(QUrl(link));
}

LinkLabel::LinkLabel(const QString& caption, QString link, QWidget* parent)
    : QLabel(caption, parent), link_(std::move(link)) {
    setMouseTracking(true);
    setCursor(Qt::PointingHandCursor);
    setColor(qRgb(0, 0, 0));
}

void LinkLabel::setColor(QRgb c) {
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, QColor::fromRgb(c));
    setPalette(pal);
}

void LinkLabel::mouseMoveEvent(QMouseEvent* event) {
    setColor(kLinkRed);
    QLabel::mouseMoveEvent(event);
}

void LinkLabel::leaveEvent(QEvent* event) {
    setColor(kLinkNavy);
    QLabel::leaveEvent(event);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        setColor(kLinkGreen);
        ShellExecute(link_);
        setColor(kLinkGreen);
    }
    QLabel::mouseReleaseEvent(event);
}

TAboutForm::TAboutForm(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("AboutForm"));
    // Closing the main window ends the program even while this window is open.
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(tr("About"));
    setFixedSize(299, 206);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0xC0, 0xDC, 0xC0));
    pal.setColor(QPalette::WindowText, Qt::black);
    setPalette(pal);
    setAutoFillBackground(true);

    AddLabel(this, "Label4", tr("Version 2.2             may 2005 г."), 24, 16);
    AddLabel(this, "Label5", tr("Build  1.14.55."), 24, 32);
    AddLabel(this, "Label1", QString::fromUtf8(contacts::kPlaceLine), 24, 56);
    AddLabel(this, "Label3", QString::fromUtf8(contacts::kNameLine), 24, 72);
    const QString mail = QString::fromUtf8(contacts::kMailAddress);
    auto* label2 = new LinkLabel(mail, QStringLiteral("mailto:") + mail, this);
    label2->setObjectName(QStringLiteral("Label2"));
    label2->move(24, 88);
    label2->adjustSize();

    for (const auto& [name, y] : {std::pair{"Bevel2", 104}, std::pair{"Bevel1", 144}}) {
        auto* rule = new QFrame(this);
        rule->setObjectName(QString::fromUtf8(name));
        rule->setFrameShape(QFrame::HLine);
        rule->setFrameShadow(QFrame::Sunken);
        rule->setGeometry(16, y, 273, 2);
    }

    // The logo: a gray shadow 2 pixels right and 4 down under the teal text.
    QFont logoFont(QStringLiteral("Arial Black"));
    logoFont.setPixelSize(24);
    logoFont.setBold(true);
    logoFont.setItalic(true);
    logoFont.setStretch(QFont::Unstretched);  // not the dialog font's narrowing
    const QString logo = QString::fromUtf8(contacts::kProgramName);
    for (const auto& [name, x, y, color] : {std::tuple{"Label8", 18, 115, qRgb(128, 128, 128)},
                                            std::tuple{"Label7", 16, 111, qRgb(0, 128, 128)}}) {
        QLabel* l = AddLabel(this, name, logo, x, y);
        l->setFont(logoFont);
        QPalette lp = l->palette();
        lp.setColor(QPalette::WindowText, QColor::fromRgb(color));
        l->setPalette(lp);
        l->adjustSize();
    }

    const QString web = QString::fromUtf8(contacts::kWebAddress);
    auto* label6 = new LinkLabel(web, web, this);
    label6->setObjectName(QStringLiteral("Label6"));
    label6->move(24, 160);
    label6->adjustSize();

    ImageFisht = new QLabel(this);
    ImageFisht->setObjectName(QStringLiteral("ImageFisht"));
    ImageFisht->setGeometry(208, 17, 81, 82);
    ImageFisht->setScaledContents(true);

    BitBtn1 = new QPushButton(tr("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(216, 168, 75, 25);
    BitBtn1->setDefault(true);
    BitBtn1->setAutoDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });

    timer1_.setInterval(kFlashIntervalMs);
    timer1_.callOnTimeout([this] { Timer1Timer(); });
    timer1_.start();

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

void TAboutForm::showEvent(QShowEvent* event) {
    // The picture and the button's icon are made when the window is first shown, not with the
    // window at start, which would keep the main window waiting for them.
    if (!dressed_) {
        dressed_ = true;
        // Our own drawing, decoded by the same JPEG reader as the underlay pictures.
        QFile pictureFile(QStringLiteral(":/about/about_picture.jpg"));
        if (pictureFile.open(QIODevice::ReadOnly)) {
            const pictures::JpegImage picture = pictures::ReadJpegFull(pictureFile.readAll());
            if (picture.ok()) {
                setPicture(picture.image);
            }
        }
        BitBtn1->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    }
    QWidget::showEvent(event);
}

void TAboutForm::setPicture(const QImage& picture) {
    ImageFisht->setPixmap(QPixmap::fromImage(picture));
}

void TAboutForm::Timer1Timer() {
    ++flashes_;
    if (isVisible()) {
        FlashWindow(this, true);
    }
}

}  // namespace forms
