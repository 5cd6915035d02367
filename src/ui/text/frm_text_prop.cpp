// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/text/frm_text_prop.h"

#include "editing/app_state.h"
#include "picture/texts.h"
#include "render/engine.h"
#include "render/span_surface.h"
#include "ui/common/main_services.h"
#include "ui/common/window_tools.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

namespace ombrix
{

namespace
{

constexpr int kSampleWidth = 300; // logical pixels
constexpr int kSampleHeight = 80;

QColor qcolour(const Colour& c)
{
    return {static_cast<int>(c[0] & 255), static_cast<int>(c[1] & 255),
            static_cast<int>(c[2] & 255)};
}

// A colour box: a plain rectangle in the colour of a text slot.
QWidget* swatch(const QString& name)
{
    auto* w = new QWidget;
    w->setObjectName(name);
    w->setFixedSize(28, 16);
    w->setAutoFillBackground(true);
    return w;
}

void paintSwatch(QWidget* w, const Colour& c)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, qcolour(c));
    w->setPalette(pal);
}

} // namespace

// `picSample`: the image's own pattern with the set's three texts over it,
// shadow and highlight behind the main text, in the image's device pixels.
class FrmTextProp::SamplePicture : public QWidget
{
public:
    explicit SamplePicture(FrmTextProp& owner) : owner_(owner)
    {
        setObjectName("picSample");
        setFixedSize(kSampleWidth, kSampleHeight);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter g(this);
        const double r = deviceRatio(this);
        g.scale(1.0 / r, 1.0 / r);
        g.drawImage(0, 0, owner_.pattern_);
        for (int j = 2; j >= 0; --j) {
            const QRect at = owner_.sampleRect(j);
            g.setFont(owner_.sampleFont(j));
            g.setPen(
                qcolour(owner_.state_.p().plTextColor[static_cast<size_t>(3 * owner_.k_ + j)]));
            g.drawText(QRect(at.topLeft(), QSize(1 << 20, 1 << 20)),
                       Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                       QString::fromStdString(owner_.work_.text[static_cast<size_t>(j)]));
        }
    }

private:
    FrmTextProp& owner_;
};

const QStringList& FrmTextProp::fontList()
{
    static const QStringList families = familiesOnce(QFontDatabase::families());
    return families;
}

QStringList FrmTextProp::familiesOnce(const QStringList& families)
{
    // "Family [Foundry]" is how Qt tells apart a family that two foundries
    // ship; a text names only the family, so the list shows it once.
    QStringList once;
    for (const QString& f : families) {
        QString name = f;
        const qsizetype bracket = name.lastIndexOf(" [");
        if (bracket > 0 && name.endsWith(']'))
            name.truncate(bracket);
        if (!once.contains(name, Qt::CaseInsensitive))
            once.append(name);
    }
    return once;
}

FrmTextProp::FrmTextProp(AppState& state, MainServices& host, bool add, QPoint newText,
                         QWidget* parent)
    : QWidget(parent, Qt::Tool), state_(state), host_(host), add_(add), newText_(newText)
{
    setObjectName("frmTextProp");
    setWindowTitle(" Text Properties");
    setAttribute(Qt::WA_DeleteOnClose);

    txtText = new QLineEdit;
    txtText->setObjectName("txtText");
    cboFonts = new QComboBox;
    cboFonts->setObjectName("cboFonts");
    cboFonts->setEditable(true);
    cboFonts->setInsertPolicy(QComboBox::NoInsert);
    cboFonts->setToolTip("Choose a font name from this drop-down box.");
    cboFonts->setMinimumWidth(170);
    cboSize = new QComboBox;
    cboSize->setObjectName("cboSize");
    cboSize->setEditable(true);
    cboSize->setInsertPolicy(QComboBox::NoInsert);
    cboSize->setToolTip("Choose a font size from this drop-down box.");
    for (const char* s : {"8", "9", "10", "11", "12", "14", "16", "18", "20", "22", "24", "26",
                          "28", "32", "36", "40", "48", "56", "72"})
        cboSize->addItem(s);
    picColor = swatch("picColor");
    picHighlightColor = swatch("picHighlightColor");
    picShadowColor = swatch("picShadowColor");

    auto* fontBox = new QGroupBox("Font properties");
    auto* fg = new QGridLayout(fontBox);
    fg->addWidget(new QLabel("Name:"), 0, 0);
    fg->addWidget(cboFonts, 0, 1, 1, 3);
    fg->addWidget(new QLabel("Size:"), 1, 0);
    fg->addWidget(cboSize, 1, 1);
    fg->addWidget(new QLabel("Color:"), 1, 2, Qt::AlignRight);
    fg->addWidget(picColor, 1, 3);
    auto* styleBox = new QGroupBox("Style");
    auto* sl = new QHBoxLayout(styleBox);
    const char* styleCaptions[4] = {"B", "I", "U", "S"};
    const char* styleTips[4] = {"Bold", "Italic", "Underline", "Strikethrough"};
    for (int s = 0; s < 4; ++s) {
        auto* b = new QToolButton;
        b->setObjectName(QString("chkStyle%1").arg(s));
        b->setCheckable(true);
        b->setText(styleCaptions[s]);
        b->setToolTip(styleTips[s]);
        QFont f = b->font();
        f.setBold(s == 0);
        f.setItalic(s == 1);
        f.setUnderline(s == 2);
        f.setStrikeOut(s == 3);
        b->setFont(f);
        b->setFixedSize(26, 24);
        connect(b, &QToolButton::clicked, this, [this, s] { chkStyle_Click(s); });
        chkStyle[static_cast<size_t>(s)] = b;
        sl->addWidget(b);
    }
    auto* alignBox = new QGroupBox("Alignment");
    auto* al = new QHBoxLayout(alignBox);
    optAlignLeft = new QRadioButton("Left");
    optAlignLeft->setObjectName("optAlignLeft");
    optAlignCenter = new QRadioButton("Center");
    optAlignCenter->setObjectName("optAlignCenter");
    optAlignRight = new QRadioButton("Right");
    optAlignRight->setObjectName("optAlignRight");
    optAlignCenter->setChecked(true);
    al->addWidget(optAlignLeft);
    al->addWidget(optAlignCenter);
    al->addWidget(optAlignRight);
    fg->addWidget(styleBox, 2, 0, 1, 2);
    fg->addWidget(alignBox, 2, 2, 1, 2);

    const char* sliderTip = "Move this slider to change the offset of the highlight or the shadow.";
    const auto effect = [&](const QString& title, QWidget* sw, QCheckBox*& chk, QSlider*& sli,
                            const QString& name, const QString& tip) {
        auto* box = new QGroupBox(title);
        auto* g = new QGridLayout(box);
        chk = new QCheckBox("Change Color");
        chk->setObjectName("chk" + name);
        chk->setToolTip(tip);
        sli = new QSlider(Qt::Horizontal);
        sli->setObjectName("sli" + name);
        sli->setRange(-10, 10);
        sli->setSingleStep(1);
        sli->setPageStep(1);
        sli->setToolTip(sliderTip);
        g->addWidget(sw, 0, 0);
        g->addWidget(chk, 0, 1);
        g->addWidget(new QLabel("Separation"), 1, 0, 1, 2);
        g->addWidget(sli, 2, 0, 1, 2);
        return box;
    };
    auto* effects = new QGroupBox("Effects");
    auto* el = new QHBoxLayout(effects);
    el->addWidget(effect("Highlight", picHighlightColor, chkHighlight, sliHighlight, "Highlight",
                         "Click here to change highlight properties only"));
    el->addWidget(effect("Shadow", picShadowColor, chkShadow, sliShadow, "Shadow",
                         "Click here to change shadow properties only"));

    picSample = new SamplePicture(*this);
    const DialogButtons dialogButtons = makeDialogButtons(this);
    cmdOK = dialogButtons.ok;
    cmdCancel = dialogButtons.cancel;
    cmdHelp = dialogButtons.help;
    cmdRemove = new QPushButton("&Remove");
    cmdRemove->setObjectName("cmdRemove");

    auto* top = new QVBoxLayout(this);
    top->addWidget(new QLabel("Enter text here:"));
    top->addWidget(txtText);
    top->addWidget(fontBox);
    top->addWidget(effects);
    top->addWidget(new QLabel("Preview:"));
    top->addWidget(picSample, 0, Qt::AlignHCenter);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {cmdOK, cmdCancel, cmdRemove, cmdHelp})
        buttons->addWidget(b);
    top->addLayout(buttons);

    connect(txtText, &QLineEdit::textChanged, this, &FrmTextProp::txtText_Change);
    // Typing a name changes nothing until an entry is chosen.
    connect(cboFonts, &QComboBox::textActivated, this, &FrmTextProp::mSetFontName);
    connect(cboSize, &QComboBox::editTextChanged, this, &FrmTextProp::mSetFontSize);
    connect(cboSize, &QComboBox::textActivated, this, &FrmTextProp::mSetFontSize);
    connect(sliHighlight, &QSlider::valueChanged, this, &FrmTextProp::sliHighlight_Change);
    connect(sliShadow, &QSlider::valueChanged, this, &FrmTextProp::sliShadow_Change);
    connect(chkHighlight, &QCheckBox::clicked, this, &FrmTextProp::chkHighlight_Click);
    connect(chkShadow, &QCheckBox::clicked, this, &FrmTextProp::chkShadow_Click);
    connect(cmdOK, &QPushButton::clicked, this, &FrmTextProp::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &FrmTextProp::cmdCancel_Click);
    connect(cmdRemove, &QPushButton::clicked, this, &FrmTextProp::cmdRemove_Click);
    connect(cmdHelp, &QPushButton::clicked, this, &FrmTextProp::cmdHelp_Click);
    // The picker writes the colour into the record; the swatches and the
    // sample follow it.
    connect(&host_.colourEvents(), &ColourEvents::edited, this, [this](ColourTarget target) {
        if (target == ColourTarget::TextSlot) {
            showSwatches();
            picSample->update();
        }
    });
}

void FrmTextProp::Form_Load()
{
    AppState& s = state_;
    SharedValues& v = s.v();
    k_ = std::clamp<int>(v.pnTextSetIndex, 0, kTextSets - 1);
    const int t = 3 * k_;
    s.flags.pbTextDlgShown = true;
    v.pnColorTarget = ColourTarget::TextSlot;
    v.pnTextIndex = static_cast<Integer>(t);
    mChangeColor();
    work_ = mReceivePublicVal(s.p(), k_);

    loading_ = true;
    cboFonts->addItems(fontList());
    cmdRemove->setEnabled(!add_);
    for (size_t i = 0; i < chkStyle.size(); ++i)
        chkStyle[i]->setChecked(work_.style[0][i] == 1);
    sliHighlight->setValue(work_.highlightOffset);
    sliShadow->setValue(work_.shadowOffset);
    txtText->setText(QString::fromStdString(work_.text[0]));
    loading_ = false;
    mSetSampleProp();
    mCenterSample();
    txtText->setCursorPosition(0);
    txtText->setFocus();
    sampleAtOpen_ = placementSize();
    adjustSize();
    centreOnScreen(this);
}

QFont FrmTextProp::sampleFont(int j) const
{
    const auto i = static_cast<size_t>(j);
    return textFont(work_.font[i], work_.size[i], work_.style[i], 96.0 * deviceRatio(this));
}

QSize FrmTextProp::sampleSize() const
{
    return captionSize(sampleFont(0), QString::fromStdString(work_.text[0]));
}

QSize FrmTextProp::placementSize() const
{
    return captionSize(textFont(work_.font[0], work_.size[0], work_.style[0], 96.0),
                       QString::fromStdString(work_.text[0]));
}

QRect FrmTextProp::sampleRect(int role) const
{
    const Integer offset = role == 1   ? work_.highlightOffset
                           : role == 2 ? work_.shadowOffset
                                       : Integer{0};
    // The offsets are logical pixels, the sample device pixels.
    const int d = toDevice(offset, deviceRatio(this));
    return {sampleOrigin_ + QPoint(d, d), sampleSize()};
}

void FrmTextProp::mSetSampleProp()
{
    for (size_t j = 0; j < 3; ++j) {
        if (work_.font[j].empty())
            work_.font[j] = "Arial";
        if (work_.size[j] == 0)
            work_.size[j] = 18;
    }
    loading_ = true;
    cboFonts->setEditText(QString::fromStdString(work_.font[0]));
    cboSize->setEditText(QString::number(work_.size[0]));
    loading_ = false;
    showSwatches();

    // The sample shows the text over the image's own pattern.
    const double r = deviceRatio(picSample);
    SpanSurface surface(toDevice(kSampleWidth, r), toDevice(kSampleHeight, r));
    RenderContext ctx(state_.p());
    mDrawPattern(ctx, surface, 0, 0, static_cast<Integer>(surface.width()),
                 static_cast<Integer>(surface.height()));
    pattern_ = surface.image();
    picSample->update();
}

void FrmTextProp::showSwatches()
{
    const ImageParams& p = state_.p();
    const int t = 3 * k_;
    paintSwatch(picColor, p.plTextColor[static_cast<size_t>(t)]);
    paintSwatch(picHighlightColor, p.plTextColor[static_cast<size_t>(t + 1)]);
    paintSwatch(picShadowColor, p.plTextColor[static_cast<size_t>(t + 2)]);
}

void FrmTextProp::mCenterSample()
{
    const double r = deviceRatio(picSample);
    const QSize size = sampleSize();
    sampleOrigin_ = QPoint((toDevice(kSampleWidth, r) - size.width()) / 2,
                           (toDevice(kSampleHeight, r) - size.height()) / 2);
    picSample->update();
}

void FrmTextProp::txtText_Change(const QString& text)
{
    if (loading_)
        return;
    const std::string value = text.toStdString();
    work_.text.fill(value);
    mCenterSample();
}

void FrmTextProp::mSetFontName(const QString& name)
{
    QString chosen = name;
    if (chosen.trimmed().isEmpty()) {
        chosen = "Arial";
        cboFonts->setEditText(chosen);
    }
    work_.font.fill(chosen.toStdString());
    mCenterSample();
}

void FrmTextProp::mSetFontSize(const QString& text)
{
    if (loading_)
        return;
    work_.size.fill(fontSizeFromText(text));
    mCenterSample();
}

void FrmTextProp::chkStyle_Click(int s)
{
    const Integer on = chkStyle[static_cast<size_t>(s)]->isChecked() ? 1 : 0;
    for (auto& style : work_.style)
        style[static_cast<size_t>(s)] = on;
    mCenterSample();
}

void FrmTextProp::sliHighlight_Change(int value)
{
    if (loading_)
        return;
    work_.highlightOffset = static_cast<Integer>(value);
    picSample->update();
}

void FrmTextProp::sliShadow_Change(int value)
{
    if (loading_)
        return;
    work_.shadowOffset = static_cast<Integer>(value);
    picSample->update();
}

void FrmTextProp::chkHighlight_Click()
{
    pickCopy(chkHighlight, chkShadow, 1);
}

void FrmTextProp::chkShadow_Click()
{
    pickCopy(chkShadow, chkHighlight, 2);
}

void FrmTextProp::pickCopy(const QCheckBox* box, QCheckBox* other, int copy)
{
    // One copy's colour at a time: ticking one box clears the other.
    if (box->isChecked())
        other->setChecked(false);
    mnChangeWhat = box->isChecked() ? copy : 0;
    state_.v().pnTextIndex = static_cast<Integer>(3 * k_ + mnChangeWhat);
    mLockFontControls();
    mChangeColor();
}

void FrmTextProp::mLockFontControls()
{
    // Highlight and shadow share the main text's font, size, style and text.
    const bool open = !chkHighlight->isChecked() && !chkShadow->isChecked();
    cboFonts->setEnabled(open);
    cboSize->setEnabled(open);
    for (QToolButton* b : chkStyle)
        b->setEnabled(open);
    txtText->setEnabled(open);
}

void FrmTextProp::mChangeColor()
{
    state_.flags.pbColorWinShown = true;
    state_.v().pnColorTarget = ColourTarget::TextSlot;
    emit colourPickerWanted();
}

void FrmTextProp::cmdOK_Click()
{
    ImageParams& p = state_.p();
    const int t = 3 * k_;
    const TextAlign align = optAlignLeft->isChecked()    ? TextAlign::Left
                            : optAlignRight->isChecked() ? TextAlign::Right
                                                         : TextAlign::Centre;
    const QSize now = placementSize();
    const QPoint at =
        add_ ? addedTextPosition(align, newText_.x(), newText_.y(), now.width(), now.height())
             : modifiedTextPosition(align,
                                    QPoint(p.pnTextLeft[static_cast<size_t>(t)],
                                           p.pnTextTop[static_cast<size_t>(t)]),
                                    now, sampleAtOpen_);
    applyTextSet(p, k_, work_, at);
    changed_ = true;
    state_.flags.pbTextEnabled = true;
    emit textsChanged();
    close();
}

void FrmTextProp::cmdCancel_Click()
{
    close();
}

void FrmTextProp::cmdRemove_Click()
{
    mRemoveTextSet(state_.p(), k_);
    changed_ = true;
    state_.flags.pbTextEnabled = true;
    emit textsChanged();
    close();
}

void FrmTextProp::cmdHelp_Click()
{
    emit helpWanted();
}

void FrmTextProp::closeEvent(QCloseEvent* e)
{
    if (!done_) {
        done_ = true;
        // Closed without OK or Remove (Cancel, the close box, the "Text"
        // button): the colours go back, so that the labels, which still
        // show the old ones, and the record agree.
        if (!changed_)
            restoreTextColours(state_.p(), k_, work_);
        state_.flags.pbTextDlgShown = false;
        state_.flags.pbTextMode = false;
        emit closed();
    }
    QWidget::closeEvent(e);
}

void FrmTextProp::keyPressEvent(QKeyEvent* e)
{
    if (!clickForDialogKey(e, cmdOK, cmdCancel))
        QWidget::keyPressEvent(e);
}

} // namespace ombrix
