#include "Contenders.h"

#include "raster/ZColorStencil.h"
#include "raster/ZGradientStencils.h"
#include "raster/ZRenderer.h"

#include <agg_gradient_lut.h>
#include <agg_pixfmt_rgba.h>
#include <agg_rasterizer_scanline_aa.h>
#include <agg_renderer_base.h>
#include <agg_renderer_scanline.h>
#include <agg_scanline_p.h>
#include <agg_scanline_u.h>
#include <agg_span_allocator.h>
#include <agg_span_gradient.h>
#include <agg_span_interpolator_linear.h>
#include <cairo.h>

namespace {

constexpr float kStopPositions[3] = {0.0f, 0.5f, 1.0f};

class Ours : public Contender {
public:
    explicit Ours(const Scene& scene) : scene_(scene) {
        for (const ScenePolygon& p : scene.polygons) {
            ZPath path;
            for (const auto& contour : p.contours) {
                path.MoveTo(contour[0].x, contour[0].y);
                for (size_t i = 1; i < contour.size(); ++i) path.LineTo(contour[i].x, contour[i].y);
                path.Close();
            }
            paths_.push_back(path);
            if (p.gradient) {
                auto* g = new ZLinearGradientStencil();
                for (int i = 0; i < 3; ++i) {
                    ZGradientStop stop;
                    stop.position = kStopPositions[i];
                    const uint8_t* c = p.stops[i];
                    const uint8_t bgra[4] = {c[2], c[1], c[0], c[3]};
                    std::copy(bgra, bgra + 4, stop.color);
                    g->AddStop(stop);
                }
                stencils_.emplace_back(g);
            } else {
                stencils_.emplace_back(
                    new ZColorStencil(p.rgba[2], p.rgba[1], p.rgba[0], p.rgba[3]));
            }
        }
    }
    ~Ours() override {
        for (ZStencil* s : stencils_) s->Release();
    }
    void Draw(uint8_t* canvas) override {
        renderer_.SetTarget(canvas, scene_.width, scene_.height, 1, scene_.width * 4);
        for (size_t i = 0; i < paths_.size(); ++i)
            renderer_.FillPath(paths_[i], nullptr, stencils_[i], ZFillRule::kNonZero);
    }
    // Straight alpha, premultiplied with rounding.
    std::vector<uint8_t> Premultiplied(const uint8_t* canvas, size_t bytes) const override {
        std::vector<uint8_t> out(canvas, canvas + bytes);
        for (size_t i = 0; i < bytes; i += 4)
            for (int c = 0; c < 3; ++c)
                out[i + c] = static_cast<uint8_t>((out[i + c] * out[i + 3] + 127) / 255);
        return out;
    }

private:
    const Scene& scene_;
    std::vector<ZPath> paths_;
    std::vector<ZStencil*> stencils_;
    ZRenderer renderer_;
};

// AGG 2.x into a premultiplied BGRA buffer: packed scanlines for solid colours, unpacked
// for gradients, as its own examples do.
class Agg : public Contender {
public:
    using Lut = agg::gradient_lut<agg::color_interpolator<agg::rgba8>, 1024>;
    explicit Agg(const Scene& scene) : scene_(scene) {
        for (const ScenePolygon& p : scene.polygons) {
            Lut lut;
            if (p.gradient) {
                for (int i = 0; i < 3; ++i) {
                    const uint8_t* c = p.stops[i];
                    lut.add_color(kStopPositions[i], agg::rgba8(c[0], c[1], c[2], c[3]));
                }
                lut.build_lut();
            }
            luts_.push_back(lut);
        }
    }
    void Draw(uint8_t* canvas) override {
        agg::rendering_buffer buffer(canvas, scene_.width, scene_.height, scene_.width * 4);
        agg::pixfmt_bgra32 format(buffer);
        agg::renderer_base<agg::pixfmt_bgra32> base(format);
        for (size_t i = 0; i < scene_.polygons.size(); ++i) {
            const ScenePolygon& p = scene_.polygons[i];
            rasterizer_.reset();
            for (const auto& contour : p.contours) {
                rasterizer_.move_to_d(contour[0].x, contour[0].y);
                for (size_t k = 1; k < contour.size(); ++k)
                    rasterizer_.line_to_d(contour[k].x, contour[k].y);
                rasterizer_.close_polygon();
            }
            if (!p.gradient) {
                agg::render_scanlines_aa_solid(
                    rasterizer_, packed_, base,
                    agg::rgba8(p.rgba[0], p.rgba[1], p.rgba[2], p.rgba[3]));
                continue;
            }
            using Interpolator = agg::span_interpolator_linear<>;
            const double width = std::max(1.0f, p.maxX - p.minX);
            const double scale = 1024.0 / width;
            agg::trans_affine toRamp(scale, 0, 0, 1, -p.minX * scale, 0);
            Interpolator interpolator(toRamp);
            agg::gradient_x shape;
            agg::span_gradient<agg::rgba8, Interpolator, agg::gradient_x, Lut> spans(
                interpolator, shape, luts_[i], 0, 1024);
            agg::render_scanlines_aa(rasterizer_, unpacked_, base, allocator_, spans);
        }
    }

private:
    const Scene& scene_;
    std::vector<Lut> luts_;
    agg::rasterizer_scanline_aa<> rasterizer_;
    agg::scanline_p8 packed_;
    agg::scanline_u8 unpacked_;
    agg::span_allocator<agg::rgba8> allocator_;
};

// Cairo's image backend (pixman) into its native premultiplied ARGB32.
class Cairo : public Contender {
public:
    explicit Cairo(const Scene& scene) : scene_(scene) {
        for (const ScenePolygon& p : scene.polygons) {
            cairo_pattern_t* pattern = nullptr;
            if (p.gradient) {
                pattern = cairo_pattern_create_linear(p.minX, 0, p.maxX, 0);
                for (int i = 0; i < 3; ++i) {
                    const uint8_t* c = p.stops[i];
                    cairo_pattern_add_color_stop_rgba(pattern, kStopPositions[i], c[0] / 255.0,
                                                      c[1] / 255.0, c[2] / 255.0, c[3] / 255.0);
                }
            } else {
                pattern = cairo_pattern_create_rgba(p.rgba[0] / 255.0, p.rgba[1] / 255.0,
                                                    p.rgba[2] / 255.0, p.rgba[3] / 255.0);
            }
            patterns_.push_back(pattern);
        }
    }
    ~Cairo() override {
        for (cairo_pattern_t* p : patterns_) cairo_pattern_destroy(p);
    }
    void Draw(uint8_t* canvas) override {
        cairo_surface_t* surface = cairo_image_surface_create_for_data(
            canvas, CAIRO_FORMAT_ARGB32, scene_.width, scene_.height, scene_.width * 4);
        cairo_t* cr = cairo_create(surface);
        for (size_t i = 0; i < scene_.polygons.size(); ++i) {
            for (const auto& contour : scene_.polygons[i].contours) {
                cairo_move_to(cr, contour[0].x, contour[0].y);
                for (size_t k = 1; k < contour.size(); ++k)
                    cairo_line_to(cr, contour[k].x, contour[k].y);
                cairo_close_path(cr);
            }
            cairo_set_source(cr, patterns_[i]);
            cairo_fill(cr);
        }
        cairo_destroy(cr);
        cairo_surface_flush(surface);
        cairo_surface_destroy(surface);
    }

private:
    const Scene& scene_;
    std::vector<cairo_pattern_t*> patterns_;
};

template <class T> std::unique_ptr<Contender> Make(const Scene& scene) {
    return std::make_unique<T>(scene);
}

} // namespace

std::vector<uint8_t> Contender::Premultiplied(const uint8_t* canvas, size_t bytes) const {
    return std::vector<uint8_t>(canvas, canvas + bytes);
}

const std::vector<ContenderKind>& Contenders() {
    static const std::vector<ContenderKind> kinds{
        {"agg", Make<Agg>}, {"cairo", Make<Cairo>}, {"ours", Make<Ours>}};
    return kinds;
}
