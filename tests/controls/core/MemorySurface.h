#pragma once

#include <VarnoButton/PixelSurface.h>

#include <string>
#include <vector>

namespace ombrix::test {

// A pixel surface in memory that paints each colour as a letter, so a face
// reads as a picture: H highlight, D dark shadow, S shadow, F button face,
// w white, r red, ? any other colour.
class MemorySurface final : public PixelSurface {
public:
    MemorySurface(int width, int height, double scale);

    double scale() const override { return scale_; }
    float textWidth(const std::string&) const override { return 0; }
    float textHeight(const std::string&) const override { return 0; }
    void print(const std::string&) override {}

    // One string per row of device pixels.
    const std::vector<std::string>& rows() const { return rows_; }

protected:
    void fillBackground() override;
    void fillPixels(int x, int y, int width, int height, uint32_t rgb) override;
    uint32_t resolve(Color color) const override;

private:
    double scale_;
    std::vector<std::string> rows_;
};

// The letter an RGB colour or system colour value is painted as.
char colorLetter(Color color);

}  // namespace ombrix::test
