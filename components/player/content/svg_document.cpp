#include "components/player/content/svg_document.h"

#include "components/dispatch/error.h"

// GLib's headers name a member "signals", which Qt defines as a keyword.
#pragma push_macro("signals")
#undef signals
#include <cairo.h>
#include <gio/gio.h>
#include <librsvg/rsvg.h>
#pragma pop_macro("signals")

#include <mutex>

namespace vizmo::player {

namespace {

std::mutex& librsvgLock()
{
    static std::mutex lock;
    return lock;
}

// What librsvg said, for a description; the caller frees the error.
QString messageOf(const GError* error)
{
    return error ? QString::fromUtf8(error->message).trimmed() : QStringLiteral("unknown error");
}

const QByteArray kEverythingShown =
    "* { display: inline !important; visibility: visible !important; opacity: 1 !important; }";

}  // namespace

struct SvgDocument::Handle {
    explicit Handle(RsvgHandle* h) : rsvg(h) {}
    ~Handle() { g_object_unref(rsvg); }
    RsvgHandle* rsvg;
};

SvgDocument::SvgDocument(QByteArray bytes, std::unique_ptr<Handle> plain, QRectF page)
    : bytes_(std::move(bytes)), page_(page)
{
    variants_.emplace(QByteArray(), std::move(plain));
}

SvgDocument::~SvgDocument()
{
    const std::lock_guard lock(librsvgLock());
    variants_.clear();
}

// Called with the lock held.
std::unique_ptr<SvgDocument::Handle> SvgDocument::read(const QByteArray& bytes, const QByteArray& style, QString* error)
{
    // No base file and no flags: nothing outside the file, and librsvg's limits.
    auto handle = std::make_unique<Handle>(rsvg_handle_new_with_flags(RSVG_HANDLE_FLAGS_NONE));
    rsvg_handle_set_dpi(handle->rsvg, 96.0);
    GInputStream* stream = g_memory_input_stream_new_from_data(bytes.constData(), bytes.size(), nullptr);
    GError* failure = nullptr;
    const gboolean read = rsvg_handle_read_stream_sync(handle->rsvg, stream, nullptr, &failure);
    g_object_unref(stream);
    if (read && !style.isEmpty())
        rsvg_handle_set_stylesheet(handle->rsvg, reinterpret_cast<const guint8*>(style.constData()), gsize(style.size()),
                                   &failure);
    if (failure) {
        if (error)
            *error = messageOf(failure);
        g_clear_error(&failure);
        return nullptr;
    }
    return read ? std::move(handle) : nullptr;
}

LoadResult<std::shared_ptr<const SvgDocument>> SvgDocument::parse(const QByteArray& bytes, const QString& displayName)
{
    const std::lock_guard lock(librsvgLock());
    QString why;
    auto handle = read(bytes, {}, &why);
    if (!handle)
        return LoadError{dispatch::err::InvalidFileFormat,
                         QStringLiteral("%1: it cannot be read as a drawing (%2)").arg(displayName, why)};
    gboolean hasWidth = false, hasHeight = false, hasViewBox = false;
    RsvgLength width{}, height{};
    RsvgRectangle viewBox{};
    rsvg_handle_get_intrinsic_dimensions(handle->rsvg, &hasWidth, &width, &hasHeight, &height, &hasViewBox, &viewBox);
    QRectF page;
    double w = 0, h = 0;
    if (hasViewBox)
        page = QRectF(viewBox.x, viewBox.y, viewBox.width, viewBox.height);
    else if (rsvg_handle_get_intrinsic_size_in_pixels(handle->rsvg, &w, &h))
        page = QRectF(0, 0, w, h);
    return std::shared_ptr<const SvgDocument>(new SvgDocument(bytes, std::move(handle), page));
}

QString SvgDocument::selectorOf(const QString& id)
{
    // Letters, digits, '-' and '_' stand for themselves (but a digit, or a
    // '-' and a digit, at the start); anything else is a hexadecimal escape.
    QString out = QStringLiteral("#");
    for (qsizetype i = 0; i < id.size(); ++i) {
        const QChar c = id[i];
        const bool leadingDigit = c.isDigit() && (i == 0 || (i == 1 && id[0] == u'-'));
        const bool plain = c.unicode() < 128 && (c.isLetterOrNumber() || c == u'-' || c == u'_');
        if (plain && !leadingDigit)
            out += c;
        else if (c.unicode() >= 128 && !c.isSurrogate())
            out += c;  // non-ASCII characters are identifier characters in CSS
        else
            out += QStringLiteral("\\%1 ").arg(c.unicode(), 0, 16);
    }
    return out;
}

bool SvgDocument::render(QImage& image, const QTransform& toPixels, const QString& id, const QStringList& hidden,
                         QString* error) const
{
    const QByteArray style =
        hidden.isEmpty() ? QByteArray() : hidden.join(QStringLiteral(", ")).toUtf8() + " { display: none !important; }";
    const std::lock_guard lock(librsvgLock());
    auto variant = variants_.find(style);
    if (variant == variants_.end())
        variant = variants_.emplace(style, read(bytes_, style, error)).first;
    return variant->second && draw(*variant->second, image, toPixels, id, error);
}

QRectF SvgDocument::inkBounds(const QString& id) const
{
    const std::lock_guard lock(librsvgLock());
    RsvgHandle* rsvg = variants_.at(QByteArray())->rsvg;
    // librsvg measures a document that has a width and a height at that
    // size, whatever the viewport: measured so, and scaled back to the page.
    double w = 0, h = 0;
    const bool sized = rsvg_handle_get_intrinsic_size_in_pixels(rsvg, &w, &h) && w > 0 && h > 0;
    const RsvgRectangle viewport = sized ? RsvgRectangle{0, 0, w, h}
                                         : RsvgRectangle{page_.x(), page_.y(), page_.width(), page_.height()};
    RsvgRectangle ink{};
    GError* failure = nullptr;
    const QByteArray fragment = "#" + id.toUtf8();
    if (!rsvg_handle_get_geometry_for_layer(rsvg, fragment.constData(), &viewport, &ink, nullptr, &failure)) {
        g_clear_error(&failure);
        return {};
    }
    const QRectF measured(ink.x, ink.y, ink.width, ink.height);
    if (!sized)
        return measured;
    return QTransform::fromScale(page_.width() / w, page_.height() / h)
        .mapRect(measured)
        .translated(page_.topLeft());
}

bool SvgDocument::renderShown(QImage& image, const QTransform& toPixels, const QString& id) const
{
    // Needed only while the drawing is measured: not kept.
    const std::lock_guard lock(librsvgLock());
    const auto shown = read(bytes_, kEverythingShown, nullptr);
    return shown && draw(*shown, image, toPixels, id, nullptr);
}

// Called with the lock held.
bool SvgDocument::draw(Handle& handle, QImage& image, const QTransform& toPixels, const QString& id,
                       QString* error) const
{
    if (image.isNull() || image.format() != QImage::Format_ARGB32_Premultiplied || page_.isEmpty())
        return false;
    // A cairo ARGB32 image has the bytes of a premultiplied ARGB32 QImage.
    cairo_surface_t* surface = cairo_image_surface_create_for_data(image.bits(), CAIRO_FORMAT_ARGB32, image.width(),
                                                                   image.height(), int(image.bytesPerLine()));
    cairo_t* cr = cairo_create(surface);
    cairo_matrix_t matrix;
    cairo_matrix_init(&matrix, toPixels.m11(), toPixels.m12(), toPixels.m21(), toPixels.m22(), toPixels.dx(),
                      toPixels.dy());
    cairo_set_matrix(cr, &matrix);
    // The page as the viewport: the document's own units are the ones drawn in.
    const RsvgRectangle viewport{page_.x(), page_.y(), page_.width(), page_.height()};
    const QByteArray fragment = id.isEmpty() ? QByteArray() : "#" + id.toUtf8();
    GError* failure = nullptr;
    const gboolean drawn = cairo_status(cr) == CAIRO_STATUS_SUCCESS &&
                           rsvg_handle_render_layer(handle.rsvg, cr, id.isEmpty() ? nullptr : fragment.constData(),
                                                    &viewport, &failure);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    cairo_surface_destroy(surface);
    if (!drawn && error)
        *error = failure ? messageOf(failure) : QStringLiteral("the drawing's transform cannot be drawn");
    g_clear_error(&failure);
    return drawn;
}

}  // namespace vizmo::player
