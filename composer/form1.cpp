#include "form1.h"

#include "eightbittext.h"
#include "saver.h"

#include "dialogs/form2.h"
#include "dialogs/form3.h"
#include "dialogs/twips.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>

namespace {

constexpr int kClientWidth = 6120;
constexpr int kClientHeight = 4335;
constexpr int kMinimumWidth = 5000;
constexpr int kMinimumHeight = 2000;

QPlainTextEdit *makeBox(const char *name, const QString &text, QWidget *parent)
{
    auto *box = new QPlainTextEdit(text, parent);
    box->setObjectName(QLatin1String(name));
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Tab moves on to the next control, as in any form; Enter still breaks the line.
    box->setTabChangesFocus(true);
    return box;
}

template<typename Button> Button *make(const char *name, const QString &caption, QWidget *parent)
{
    auto *button = new Button(caption, parent);
    button->setObjectName(QLatin1String(name));
    return button;
}

QString directionCaption(bool latinFirst)
{
    const QChar ayb(vesnor::codec::toUnicode(0xB2));
    return latinFirst ? QStringLiteral("A > ") + ayb : ayb + QStringLiteral(" > A");
}

} // namespace

Form1::Form1(QWidget *parent)
    : QWidget(parent)
    , Text1(makeBox("Text1", QStringLiteral("Enter translit text"), this))
    , Text2(makeBox("Text2", QString(), this))
    , Command1(make<QPushButton>("Command1", QStringLiteral("Convert"), this))
    , Command2(make<QPushButton>("Command2", QStringLiteral("Save"), this))
    , engarm(make<QRadioButton>("engarm", directionCaption(true), this))
    , armeng(make<QRadioButton>("armeng", directionCaption(false), this))
    , Command3(make<QPushButton>("Command3", QStringLiteral("About"), this))
    , Command4(make<QPushButton>("Command4", QStringLiteral("Help"), this))
    , applicationDir(QCoreApplication::applicationDirPath())
    , documentsDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Armenian-English text composer"));
    setWindowIcon(QIcon(QStringLiteral(":/vesnor/vesnor.png")));
    setFont(armenianFont(8.25));

    twips::place(Text1, 0, 120, 6015, 1575);
    twips::place(Text2, 0, 1800, 6015, 1815);
    twips::place(Command1, 120, 3840, 1575, 375);
    twips::place(Command2, 2730, 3825, 615, 375);
    twips::place(engarm, 1800, 3780, 1215, 255);
    twips::place(armeng, 1800, 4020, 1215, 255);
    twips::place(Command3, 3540, 3840, 1125, 330);
    twips::place(Command4, 5145, 3870, 630, 300);
    engarm->setChecked(true);
    QWidget::setTabOrder(Text1, Text2);
    QWidget::setTabOrder(Text2, Command1);
    QWidget::setTabOrder(Command1, Command2);
    QWidget::setTabOrder(Command2, engarm);
    QWidget::setTabOrder(engarm, armeng);
    QWidget::setTabOrder(armeng, Command3);
    QWidget::setTabOrder(Command3, Command4);
    resize(twips::toPixels(kClientWidth), twips::toPixels(kClientHeight));

    connect(Command1, &QPushButton::clicked, this, &Form1::convert);
    connect(Command2, &QPushButton::clicked, this, &Form1::save);
    connect(Command3, &QPushButton::clicked, this, &Form1::showAbout);
    connect(Command4, &QPushButton::clicked, this, &Form1::showHelp);
}

void Form1::setSaveFolders(const QString &applicationDir, const QString &documentsDir)
{
    this->applicationDir = applicationDir;
    this->documentsDir = documentsDir;
}

void Form1::convert()
{
    vesnor::codec::EightBitText source = vesnor::eightbit::fromBox(Text1->toPlainText());
    engine.a = std::move(source.bytes);
    foreign = std::move(source.foreign);
    engine.b.clear();
    if (engarm->isChecked())
        engine.ConvertEngArm();
    else
        engine.ConvertArmEng();
    Text2->setPlainText(vesnor::eightbit::toBox(engine.b, foreign));
}

void Form1::save()
{
    const QString text = Text2->toPlainText();
    const QString missing = Saver::unencodable(text);
    if (!missing.isEmpty()) {
        QStringList shown;
        for (const char32_t c : missing.toStdU32String())
            shown << QString::fromStdU32String(std::u32string(1, c));
        const auto answer = QMessageBox::warning(this, QStringLiteral("Save"),
            QStringLiteral("The saved file uses Armenian 8-bit text, which cannot hold "
                           "these characters:\n\n%1\n\nSave them as \"?\"?")
                .arg(shown.join(QLatin1Char(' '))),
            QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel);
        if (answer != QMessageBox::Ok)
            return;
    }

    const Saver::Result result = Saver(applicationDir, documentsDir).save(text);
    if (!result.saved) {
        QMessageBox::warning(this, QStringLiteral("Save failed"),
            QStringLiteral("The file could not be saved.\n\n%1").arg(result.error));
        return;
    }
    QString message = QStringLiteral("File ''%1'' was saved in the ").arg(result.fileName);
    if (result.inDocuments) {
        message += QStringLiteral("documents folder %1, because the application directory "
                                  "cannot be written")
                       .arg(QDir::toNativeSeparators(result.folder));
    } else {
        message += QStringLiteral("application directory");
    }
    QMessageBox::information(this, QStringLiteral("Save succesfull"), message);
}

void Form1::showAbout()
{
    Form2::instance()->present();
}

void Form1::showHelp()
{
    Form3::instance()->present();
}

void Form1::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layOut();
}

void Form1::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    // The frame arrives after the window is first shown, moving the inner area
    // without resizing it; the layout counts the frame, so it runs again.
    if (frameGeometry().size() != laidOutFrame)
        layOut();
}

void Form1::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    // Restoring from the minimised state is a change of size, even where the
    // platform keeps the old size and sends no resize.
    if (event->type() == QEvent::WindowStateChange)
        layOut();
}

// The boxes share the height and the buttons keep to the bottom edge. W and H are
// the outer size, frame and title bar included, while the controls are placed in
// the inner area; the formulas use them as they stand, as the window always has.
void Form1::layOut()
{
    if (isMinimized())
        return;
    const auto outerWidth = [this] { return twips::fromPixels(frameGeometry().width()); };
    const auto outerHeight = [this] { return twips::fromPixels(frameGeometry().height()); };
    const auto frameWidth = [this] { return frameGeometry().width() - width(); };
    const auto frameHeight = [this] { return frameGeometry().height() - height(); };

    // The minimum in whole pixels not below it: 5000 twips are 333 1/3 pixels.
    if (outerWidth() < kMinimumWidth)
        resize(twips::toPixelsAtLeast(kMinimumWidth) - frameWidth(), height());
    if (outerHeight() < kMinimumHeight)
        resize(width(), twips::toPixelsAtLeast(kMinimumHeight) - frameHeight());

    Text1->resize(twips::toPixels(outerWidth() - 10), twips::toPixels(outerHeight() / 2 - 600));
    Text2->move(Text2->x(), twips::toPixels(outerHeight() / 2 - 500));
    Text2->resize(twips::toPixels(outerWidth() - 10), twips::toPixels(outerHeight() / 2 - 600));
    for (QWidget *button : {static_cast<QWidget *>(Command1), static_cast<QWidget *>(Command2),
             static_cast<QWidget *>(Command3), static_cast<QWidget *>(Command4)})
        button->move(button->x(), twips::toPixels(outerHeight() - 900));
    engarm->move(engarm->x(), twips::toPixels(outerHeight() - 950));
    armeng->move(armeng->x(), twips::toPixels(outerHeight() - 700));
    laidOutFrame = frameGeometry().size();
}

void Form1::closeEvent(QCloseEvent *event)
{
    // Closing the composer ends the program, also with the other windows open.
    event->accept();
    QCoreApplication::quit();
}
