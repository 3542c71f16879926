#include "preview/thumb_form.h"

#include "app/error_handler.h"
#include "base/errors.h"
#include "imaging/picture_files.h"
#include "imaging/qimage_convert.h"
#include "preview/preview_rules.h"

#include <QApplication>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>

namespace {
constexpr int kFrame = 2; // a lowered inner and a raised outer bevel of one pixel

// A menu or a dialog: the user turns to it, and the preview would cover it.
bool OpensOverThePreview(const QObject* object) {
    const auto* widget = qobject_cast<const QWidget*>(object);
    if (!widget || !widget->isWindow())
        return false;
    const Qt::WindowType kind = widget->windowType();
    return kind == Qt::Popup || kind == Qt::Dialog || kind == Qt::Sheet || widget->isModal();
}
} // namespace

TThumbForm::TThumbForm(const AppSettings& settings, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowDoesNotAcceptFocus),
      m_settings(settings), m_panel(new QFrame(this)), m_image(new QLabel(m_panel)) {
    setObjectName(QStringLiteral("ThumbForm"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    m_panel->setObjectName(QStringLiteral("Panel1"));
    m_panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_panel->setLineWidth(1);
    m_panel->setMidLineWidth(0);
    m_panel->setContentsMargins(kFrame - 1, kFrame - 1, kFrame - 1, kFrame - 1);
    m_image->setObjectName(QStringLiteral("HintImage"));
    m_image->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_image->setMouseTracking(true);
    m_image->installEventFilter(this);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(m_panel);
    auto* inner = new QVBoxLayout(m_panel);
    inner->setContentsMargins(0, 0, 0, 0);
    inner->addWidget(m_image);
    resize(115, 100);
    FormCreate();
}

void TThumbForm::FormCreate() {
    m_lastPreviewPath.clear();
    m_previewSize = m_settings.ThumbHintGroesse;
    applyTransparency();
}

void TThumbForm::applyTransparency() {
    setWindowOpacity(m_settings.ThumbTransparenz / 255.0);
}

void TThumbForm::applySettings() {
    applyTransparency();
    hide();
    m_lastPreviewPath.clear();
    m_previewSize = m_settings.ThumbHintGroesse;
}

void TThumbForm::showEvent(QShowEvent* event) {
    FormShow();
    // Stays on top of everything, so it watches for menus and dialogs only
    // while it shows.
    qApp->installEventFilter(this);
    QWidget::showEvent(event);
}

void TThumbForm::hideEvent(QHideEvent* event) {
    qApp->removeEventFilter(this);
    QWidget::hideEvent(event);
}

void TThumbForm::FormShow() {
    m_previewSize = m_settings.ThumbHintGroesse;
}

void TThumbForm::ShowPreview(const QString& path) {
    if (path == m_lastPreviewPath)
        return;
    m_lastPreviewPath = path;
    // A size changed in the options applies to this very preview.
    m_previewSize = m_settings.ThumbHintGroesse;
    if (!IsPreviewPicturePath(path)) {
        hide();
        return;
    }
    Picture picture;
    try {
        picture = LoadPreviewPicture(path, m_previewSize);
    } catch (const KelvastoError&) {
        // A bitmap that cannot be read leaves the pop-up as it is; a JPEG
        // that cannot be read has nothing to show.
        if (PictureKind(path) == PictureFileKind::Bitmap)
            return;
        hide();
        return;
    }
    hide();
    const QImage image = ToQImage(picture);
    m_image->setPixmap(QPixmap::fromImage(image));
    setFixedSize(image.width() + 2 * kFrame, image.height() + 2 * kFrame);
    show();
}

void TThumbForm::HintImageMouseMove() {
    hide();
}

bool TThumbForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_image && event->type() == QEvent::MouseMove)
        GuardedHandler(this, [this] { HintImageMouseMove(); });
    if (event->type() == QEvent::Show && watched != this && OpensOverThePreview(watched))
        hide();
    return QWidget::eventFilter(watched, event);
}
