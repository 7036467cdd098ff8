#include "CoreButton.h"

#include <sstream>

namespace ombrix::test {

void FakePicture::setAutoSize(bool on)
{
    autoSizeOn = on;
    setPicture(data);
}

void FakePicture::setPicture(const PictureData& picture)
{
    data = picture;
    if (autoSizeOn && !picture.isNull()) {
        width = 15.0f * float(picture.width);
        height = 15.0f * float(picture.height);
    }
}

void FakeHost::log(const char* event, std::initializer_list<double> values)
{
    std::ostringstream line;
    line << event;
    for (const double value : values)
        line << ' ' << value;
    journal.push_back(line.str());
}

CoreButtonTest::CoreButtonTest()
{
    button.InitProperties();
    surface.onClear = [this] { journal.push_back(button.ButtonDown() ? "paint down" : "paint up"); };
}

std::pair<float, float> CoreButtonTest::caption() const
{
    const DrawOp print = surface.caption();
    return {print.x1, print.y1};
}

}  // namespace ombrix::test
