#include "form2.h"

#include "ui/fonts.h"
#include "ui/picturebox.h"
#include "ui/twips.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>

namespace {

QLabel *makeLabel(const char *name, const QString &text, int left, int top, int width, int height,
    QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    twips::place(label, left, top, width, height);
    label->setAutoFillBackground(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    shrinkToFit(label);
    return label;
}

constexpr int kCentreLine = 2400;

} // namespace

Form2::Form2(QWidget *parent)
    : AnimatedWindow(50, parent)
    , Command1(new QPushButton(QStringLiteral("Close")))
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("About"));
    setFixedSize(twips::toPixels(4710), twips::toPixels(2445));
    // The platform's own face, at the size the fixed label boxes were made for.
    QFont font = QApplication::font();
    font.setPointSizeF(8);
    setFont(font);

    // Created back to front: the notice must lie over the home-page line's box.
    makeLabel("Label1", QStringLiteral("Vesnor v. 1.0 (beta)"), 1740, 120, 1935, 255, this);
    makeLabel(
        "Label2", QStringLiteral("Programmer:    the Vesnor team"), 105, 765, 4380, 240, this);
    makeLabel("Label3", QStringLiteral("E-mail: info@vesnor.example; help@vesnor.example"), 90,
        1035, 4350, 255, this);
    makeLabel("Label4", QStringLiteral("URL: https://vesnor.example/"), 90, 1320, 4440, 315, this);
    makeLabel("Label5", QStringLiteral("Freeware"), 3315, 1440, 1110, 285, this);

    auto *Picture1 = new PictureBox("Picture1", QFrame::Panel | QFrame::Sunken, this);
    twips::place(Picture1, 135, 165, 510, 540);
    Picture1->setLineWidth(2);
    Picture1->setPixmap(QPixmap(QStringLiteral(":/vesnor/vesnor.png")));
    Picture1->setAccessibleName(QStringLiteral("Vesnor picture"));
    // First in the tab order: the window opens with the focus here, so Enter does
    // nothing until the user moves to Close.
    Picture1->setFocusPolicy(Qt::StrongFocus);

    Command1->setParent(this);
    Command1->setObjectName(QStringLiteral("Command1"));
    twips::place(Command1, 1710, 1890, 1185, 285);
    // Enter presses it while it has the focus; outside a dialog it is never a default.
    Command1->setAutoDefault(true);
    QWidget::setTabOrder(Picture1, Command1);
    setFocusProxy(Picture1);

    connect(Command1, &QPushButton::clicked, this, &QWidget::hide);
}

void Form2::restartAnimation()
{
    buttonWidth = 1000;
    widthStep = 100;
}

// The bounds are tested before the step is added, so the button reaches 4600 and
// 900 before it turns.
void Form2::stepAnimation()
{
    if (buttonWidth > 4500 || buttonWidth < 1000)
        widthStep = -widthStep;
    buttonWidth += widthStep;
    Command1->setGeometry(twips::toPixels(kCentreLine - buttonWidth / 2.0), Command1->y(),
        twips::toPixels(buttonWidth), Command1->height());
}
