#include "form1.h"

#include "eightbittext.h"
#include "opener.h"
#include "saver.h"

#include "dialogs/animatedwindow.h"
#include "dialogs/form2.h"
#include "dialogs/form3.h"
#include "ui/fonts.h"
#include "ui/twips.h"

#include <QAbstractUndoItem>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDropEvent>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QUrl>

namespace {

constexpr int kClientWidth = 6120;
constexpr int kClientHeight = 4335;
constexpr int kMinimumWidth = 5000;
constexpr int kMinimumHeight = 2000;
// Characters from which a paragraph keeps its shaped text (see makeBox).
constexpr int kLongParagraph = 1000;
const QString kLiveSetting = QStringLiteral("convertAsYouType");
const QString kTextFiles = QStringLiteral("Text files (*.txt);;All files (*)");
// The frame the layout's numbers assume: 60 twips each side, 345 on top.
constexpr int kFrameWidth = 60 + 60;
constexpr int kFrameHeight = 345 + 60;

QPlainTextEdit *makeBox(
    const char *name, const QString &text, const QString &accessibleName, QWidget *parent)
{
    auto *box = new QPlainTextEdit(parent);
    box->setObjectName(QLatin1String(name));
    box->setAccessibleName(accessibleName);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Tab moves on to the next control, as in any form; Enter still breaks the line.
    box->setTabChangesFocus(true);
    // A paragraph's layout drops its shaped text once laid out, and every blink of
    // the cursor then shapes the whole paragraph again: with one very long line that
    // keeps the program busy for good. The boxes keep it instead, for the long ones:
    // a short paragraph shapes again in no time, and a layout made up front for each
    // of a hundred thousand short lines slowed Convert down by a tenth.
    QTextDocument *document = box->document();
    QObject::connect(
        document, &QTextDocument::contentsChange, box, [document](int position, int, int added) {
            for (QTextBlock block = document->findBlock(position);
                 block.isValid() && block.position() <= position + added; block = block.next())
                if (block.length() >= kLongParagraph)
                    block.layout()->setCacheEnabled(true);
        });
    box->setPlainText(text);
    return box;
}

template<typename Button>
Button *make(
    const char *name, const QString &caption, const QString &accessibleName, QWidget *parent)
{
    auto *button = new Button(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setAccessibleName(accessibleName);
    return button;
}

// Enter clicks the focused command button, as on Windows; since the composer is
// no dialog, no button becomes a default button by this.
QPushButton *makeCommand(const char *name, const QString &caption, QWidget *parent)
{
    auto *button = make<QPushButton>(name, caption, caption, parent);
    button->setAutoDefault(true);
    return button;
}

// Convert's undo step. The box's own record of a replacement logs every line
// removed and inserted, and made Convert of a long text half as slow again; this
// step holds the text that was there instead. A step must not change its document
// while the document is undoing, so the text comes back from the event loop, a
// moment later.
class RestoreText : public QAbstractUndoItem {
public:
    RestoreText(QPlainTextEdit *box, QString text)
        : box(box)
        , text(std::move(text))
    {
    }
    void undo() override
    {
        QMetaObject::invokeMethod(
            box, [box = box, text = text] { box->setPlainText(text); }, Qt::QueuedConnection);
    }
    void redo() override { }

private:
    QPlainTextEdit *const box;
    const QString text;
};

// The local files a drag carries; none when it carries anything else, which the box
// then takes as text, as it always has.
QStringList localFiles(const QMimeData *mime)
{
    QStringList files;
    if (!mime || !mime->hasUrls())
        return files;
    for (const QUrl &url : mime->urls()) {
        if (!url.isLocalFile())
            return {};
        files << url.toLocalFile();
    }
    return files;
}

// A file manager may delete what a drop moved: the composer only ever copies.
bool acceptAsCopy(QDropEvent *event)
{
    if (!(event->possibleActions() & Qt::CopyAction))
        return false;
    event->setDropAction(Qt::CopyAction);
    event->accept();
    return true;
}

// A key of the window's: it works from any of its controls, the boxes included.
QAction *makeAction(const QString &text, const QList<QKeySequence> &keys, QWidget *window)
{
    auto *action = new QAction(text, window);
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    window->addAction(action);
    return action;
}

QString directionCaption(bool latinFirst)
{
    const QChar ayb(vesnor::codec::toUnicode(0xB2));
    return latinFirst ? QStringLiteral("A > ") + ayb : ayb + QStringLiteral(" > A");
}

} // namespace

Form1::Form1(QWidget *parent)
    : QWidget(parent)
    , Text1(makeBox(
          "Text1", QStringLiteral("Enter translit text"), QStringLiteral("Text to convert"), this))
    , Text2(makeBox("Text2", QString(), QStringLiteral("Converted text"), this))
    , Command1(makeCommand("Command1", QStringLiteral("Convert"), this))
    , Command2(makeCommand("Command2", QStringLiteral("Save"), this))
    , engarm(make<QRadioButton>(
          "engarm", directionCaption(true), QStringLiteral("Latin to Armenian"), this))
    , armeng(make<QRadioButton>(
          "armeng", directionCaption(false), QStringLiteral("Armenian to Latin"), this))
    , Command3(makeCommand("Command3", QStringLiteral("About"), this))
    , Command4(makeCommand("Command4", QStringLiteral("Help"), this))
    // Enter alone still breaks the line; with Ctrl it converts, from either box.
    , convertAction(makeAction(QStringLiteral("Convert"),
          {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)}, this))
    , saveAction(makeAction(QStringLiteral("Save"), {QKeySequence(Qt::CTRL | Qt::Key_S)}, this))
    , helpAction(makeAction(QStringLiteral("Help"), {QKeySequence(Qt::Key_F1)}, this))
    , openAction(
          makeAction(QStringLiteral("Open\u2026"), {QKeySequence(Qt::CTRL | Qt::Key_O)}, this))
    , saveUtf8Action(makeAction(QStringLiteral("Save as UTF-8\u2026"),
          {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)}, this))
    , liveAction(makeAction(
          QStringLiteral("Convert as you type"), {QKeySequence(Qt::CTRL | Qt::Key_L)}, this))
    , applicationDir(QCoreApplication::applicationDirPath())
    , documentsDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
    , animations(new AnimationCoordinator(this))
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
    // The option buttons' boxes reach into Save; every visible pixel of a command
    // button must still click it, so the command buttons lie in front.
    for (QPushButton *button : {Command1, Command2, Command3, Command4})
        button->raise();
    QWidget::setTabOrder(Text1, Text2);
    QWidget::setTabOrder(Text2, Command1);
    QWidget::setTabOrder(Command1, Command2);
    QWidget::setTabOrder(Command2, engarm);
    QWidget::setTabOrder(engarm, armeng);
    QWidget::setTabOrder(armeng, Command3);
    QWidget::setTabOrder(Command3, Command4);
    resize(twips::toPixels(kClientWidth), twips::toPixels(kClientHeight));
    // The prompt is there to be replaced: the first key typed does so, also after
    // a click into the box, until the box is first changed.
    Text1->selectAll();
    Text1->setFocus();
    // Every change a user makes, typed, pasted, dropped or opened, is a step for Undo.
    connect(
        Text1->document(), &QTextDocument::undoCommandAdded, this,
        [this] { promptUntouched = false; }, Qt::SingleShotConnection);

    // The boxes' own drop handling would type a dropped file's name into them.
    Text1->viewport()->installEventFilter(this);
    Text2->viewport()->installEventFilter(this);

    Command1->setToolTip(QStringLiteral("Convert (Ctrl+Enter)"));
    Command2->setToolTip(QStringLiteral("Save (Ctrl+S)"));
    Command4->setToolTip(QStringLiteral("Help (F1)"));
    liveAction->setCheckable(true);
    liveAction->setChecked(QSettings().value(kLiveSetting, false).toBool());
    for (QPlainTextEdit *box : {Text1, Text2}) {
        box->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(box, &QWidget::customContextMenuRequested, this,
            [this, box](const QPoint &at) { showContextMenu(box, at); });
    }

    connect(Command1, &QPushButton::clicked, this, &Form1::convert);
    connect(Command2, &QPushButton::clicked, this, &Form1::save);
    connect(Command3, &QPushButton::clicked, this, &Form1::showAbout);
    connect(Command4, &QPushButton::clicked, this, &Form1::showHelp);
    connect(convertAction, &QAction::triggered, this, &Form1::convert);
    connect(saveAction, &QAction::triggered, this, &Form1::save);
    connect(helpAction, &QAction::triggered, this, &Form1::showHelp);
    connect(openAction, &QAction::triggered, this, &Form1::openWithDialog);
    connect(saveUtf8Action, &QAction::triggered, this, &Form1::saveUtf8WithDialog);
    connect(liveAction, &QAction::triggered, this, [this](bool on) {
        QSettings().setValue(kLiveSetting, on);
        if (on)
            followInput();
    });
    connect(engarm, &QRadioButton::toggled, this, [this] {
        if (liveAction->isChecked())
            followInput();
    });
    connect(Text1->document(), &QTextDocument::contentsChange, this,
        [this](int position, int, int added) { convertChangedLines(position, added); });
    connect(Text2->document(), &QTextDocument::contentsChange, this, &Form1::outputEdited);
}

Form1::~Form1() = default;

void Form1::setSaveFolders(const QString &applicationDir, const QString &documentsDir)
{
    this->applicationDir = applicationDir;
    this->documentsDir = documentsDir;
}

void Form1::openFile(const QString &path)
{
    const Opener::Result result = Opener::open(path);
    if (!result.opened) {
        QMessageBox::warning(this, QStringLiteral("Open"), result.error);
        return;
    }
    // Replacing a selection is one step for Undo.
    QTextCursor cursor(Text1->document());
    cursor.select(QTextCursor::Document);
    cursor.insertText(result.text);
    Text1->moveCursor(QTextCursor::Start);
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != Text1->viewport() && watched != Text2->viewport())
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonRelease:
        // A click, not a drag that chose some of it; once the box has placed its
        // cursor for the click.
        if (watched == Text1->viewport() && promptUntouched) {
            QMetaObject::invokeMethod(
                Text1,
                [this] {
                    if (promptUntouched && !Text1->textCursor().hasSelection())
                        Text1->selectAll();
                },
                Qt::QueuedConnection);
        }
        break;
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDropEvent *>(event);
        if (localFiles(drag->mimeData()).isEmpty())
            break;
        if (!acceptAsCopy(drag))
            drag->ignore();
        return true;
    }
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        const QStringList files = localFiles(drop->mimeData());
        if (files.isEmpty())
            break;
        if (!acceptAsCopy(drop))
            return true;
        if (files.size() > 1) {
            QMessageBox::warning(this, QStringLiteral("Open"),
                QStringLiteral("Drop one file at a time: the input box holds one text."));
        } else {
            openFile(files.front());
        }
        return true;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::convert()
{
    // The raw text holds a paragraph's end as U+2029, which reads as a line break.
    vesnor::codec::EightBitText source = vesnor::eightbit::fromBox(Text1->document()->toRawText());
    engine.a = std::move(source.bytes);
    foreign = std::move(source.foreign);
    engine.b.clear();
    if (engarm->isChecked())
        engine.ConvertEngArm();
    else
        engine.ConvertArmEng();
    replaceOutput(vesnor::eightbit::toBox(engine.b, foreign));
}

// One step the user can undo, so that edits made in the output box are never lost
// for good; replacing the text starts the box's history afresh, so converting large
// texts again and again piles nothing up.
void Form1::replaceOutput(const QString &text)
{
    outputBefore = Text2->document()->toRawText();
    writingOutput = true;
    Text2->setPlainText(text);
    writingOutput = false;
    Text2->document()->appendUndoItem(new RestoreText(Text2, outputBefore));
    outputInStep = true;
    inputLines = Text1->document()->blockCount();
}

// What Convert gives for this text, whose paragraphs may end in U+2029.
QString Form1::converted(QStringView text) const
{
    const vesnor::codec::EightBitText source = vesnor::eightbit::fromBox(text);
    const auto direction
        = engarm->isChecked() ? vesnor::Direction::EngArm : vesnor::Direction::ArmEng;
    return vesnor::eightbit::toBox(vesnor::convert(direction, source.bytes), source.foreign);
}

// Live conversion starts, or the direction changed under it: all of Text1 again.
void Form1::followInput()
{
    replaceOutput(converted(Text1->document()->toRawText()));
}

// A line break starts a word and no pair spans one, so each line of Text1 converts
// on its own into the same line of Text2: a change converts the lines from the one it
// starts in to the one it ends in, in Text1 as it is now, and replaces those.
void Form1::convertChangedLines(int position, int added)
{
    if (!liveAction->isChecked())
        return;
    QTextDocument *in = Text1->document();
    QTextDocument *out = Text2->document();
    const QTextBlock first = in->findBlock(position);
    QTextBlock last = in->findBlock(position + added);
    if (!last.isValid())
        last = in->lastBlock();
    const int lastBefore = last.blockNumber() - (in->blockCount() - inputLines);
    if (!outputInStep || lastBefore < first.blockNumber() || lastBefore >= out->blockCount()) {
        replaceOutput(converted(in->toRawText()));
        return;
    }
    QTextCursor source(in);
    source.setPosition(first.position());
    source.setPosition(last.position() + last.length() - 1, QTextCursor::KeepAnchor);
    const QTextBlock replaced = out->findBlockByNumber(lastBefore);
    QTextCursor target(out);
    target.setPosition(out->findBlockByNumber(first.blockNumber()).position());
    target.setPosition(replaced.position() + replaced.length() - 1, QTextCursor::KeepAnchor);
    writingOutput = true;
    target.insertText(converted(source.selectedText()));
    writingOutput = false;
    inputLines = in->blockCount();
    // The box would record every line it replaced, a long line's text at every key;
    // its one step for Undo stays the text it held before it followed the input box.
    out->clearUndoRedoStacks();
    out->appendUndoItem(new RestoreText(Text2, outputBefore));
}

// What the user writes into Text2 is theirs: live conversion stops rather than
// write over it.
void Form1::outputEdited()
{
    if (writingOutput)
        return;
    outputInStep = false;
    liveAction->setChecked(false);
}

void Form1::showContextMenu(QPlainTextEdit *box, const QPoint &at)
{
    QMenu *menu = box->createStandardContextMenu(at);
    menu->setObjectName(QStringLiteral("contextMenu"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addSeparator();
    menu->addAction(openAction);
    menu->addAction(saveUtf8Action);
    menu->addAction(liveAction);
    menu->popup(box->viewport()->mapToGlobal(at));
}

void Form1::openWithDialog()
{
    auto *dialog = new QFileDialog(this, QStringLiteral("Open"), documentsDir, kTextFiles);
    dialog->setObjectName(QStringLiteral("openDialog"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setFileMode(QFileDialog::ExistingFile);
    connect(dialog, &QFileDialog::fileSelected, this, &Form1::openFile);
    dialog->open();
}

void Form1::saveUtf8WithDialog()
{
    auto *dialog = new QFileDialog(this, QStringLiteral("Save as UTF-8"),
        QDir(documentsDir).filePath(QStringLiteral("output.utf8.txt")), kTextFiles);
    dialog->setObjectName(QStringLiteral("saveUtf8Dialog"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setDefaultSuffix(QStringLiteral("txt"));
    connect(dialog, &QFileDialog::fileSelected, this, [this](const QString &path) {
        const QString error = Saver::writeUtf8(path, Text2->document()->toRawText());
        if (!error.isEmpty()) {
            QMessageBox::warning(this, QStringLiteral("Save as UTF-8"),
                QStringLiteral("The file could not be saved.\n\n%1").arg(error));
        }
    });
    dialog->open();
}

void Form1::save()
{
    // The raw text holds a paragraph's end as U+2029, which reads as a line break.
    const QString text = Text2->document()->toRawText();
    const std::u32string missing = Saver::unencodable(text).toStdU32String();
    if (!missing.empty()) {
        // A bounded list, so that the box and its buttons stay on the screen.
        constexpr std::size_t kListed = 20;
        QStringList shown;
        for (std::size_t k = 0; k < std::min(missing.size(), kListed); ++k)
            shown << QString::fromStdU32String(missing.substr(k, 1));
        QString list = shown.join(QLatin1Char(' '));
        if (missing.size() > kListed)
            list += QStringLiteral(" and %1 more").arg(missing.size() - kListed);
        const auto answer = QMessageBox::warning(this, QStringLiteral("Save"),
            QStringLiteral("The saved file uses Armenian 8-bit text, which cannot hold "
                           "these characters:\n\n%1\n\nSave them as \"?\"?")
                .arg(list),
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
        message += QStringLiteral("documents folder %1, because it could not be saved in the "
                                  "application directory: %2")
                       .arg(QDir::toNativeSeparators(result.folder), result.applicationError);
    } else {
        message += QStringLiteral("application directory");
    }
    QMessageBox::information(this, QStringLiteral("Save succesfull"), message);
}

void Form1::showAbout()
{
    if (!about) {
        about = std::make_unique<Form2>();
        animations->add(about.get());
    }
    about->present();
}

void Form1::showHelp()
{
    if (!coding) {
        coding = std::make_unique<Form3>();
        animations->add(coding.get());
    }
    coding->present();
}

void Form1::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
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

// The boxes share the height and the buttons keep to the bottom edge. The rule
// counts W and H as the outer size, frame and title bar included, while the
// controls are placed in the inner area; its numbers were made for one frame, 60
// twips each side and 345 for the title bar and top edge. So the rule is given the
// inner size plus that frame, whatever frame the window manager draws: every
// control lies where it lies under that frame, and a thick frame no longer pushes
// the buttons out of the window.
void Form1::layOut()
{
    if (isMinimized())
        return;
    const auto outerWidth = [this] { return twips::fromPixels(width()) + kFrameWidth; };
    const auto outerHeight = [this] { return twips::fromPixels(height()) + kFrameHeight; };

    // The minimum in whole pixels not below it: 5000 twips are 333 1/3 pixels. The
    // window manager is told it, so that a drag stops there instead of jumping back
    // on release.
    const QSize minimumInner(twips::toPixelsAtLeast(kMinimumWidth - kFrameWidth),
        twips::toPixelsAtLeast(kMinimumHeight - kFrameHeight));
    if (minimumSize() != minimumInner)
        setMinimumSize(minimumInner);
    if (outerWidth() < kMinimumWidth)
        resize(minimumInner.width(), height());
    if (outerHeight() < kMinimumHeight)
        resize(width(), minimumInner.height());

    Text1->resize(twips::toPixels(outerWidth() - 10), twips::toPixels(outerHeight() / 2 - 600));
    Text2->move(Text2->x(), twips::toPixels(outerHeight() / 2 - 500));
    Text2->resize(twips::toPixels(outerWidth() - 10), twips::toPixels(outerHeight() / 2 - 600));
    for (QWidget *button : {static_cast<QWidget *>(Command1), static_cast<QWidget *>(Command2),
             static_cast<QWidget *>(Command3), static_cast<QWidget *>(Command4)})
        button->move(button->x(), twips::toPixels(outerHeight() - 900));
    engarm->move(engarm->x(), twips::toPixels(outerHeight() - 950));
    armeng->move(armeng->x(), twips::toPixels(outerHeight() - 700));
}

void Form1::closeEvent(QCloseEvent *event)
{
    // Closing the composer ends the program, also with the other windows open.
    event->accept();
    QCoreApplication::quit();
}
