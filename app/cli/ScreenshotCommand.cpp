#include <unistd.h>

#include <ostream>
#include <sstream>

#include "app/cli/CliCommands.h"
#include "app/cli/CliLink.h"
#include "app/cli/ConsoleTransferView.h"
#include "files/VariableViewing.h"
#include "files/widgets/ImageFile.h"
#include "files/widgets/PictureImage.h"
#include "transfers/ScreenCanvas.h"
#include "transfers/ScreenshotTransfer.h"

namespace {

constexpr int kMaxScale = 16;

struct ScreenshotArguments {
    std::string output;
    std::string format;
    int scale = 1;
};

ScreenshotArguments Parse(const std::vector<std::string>& args)
{
    ScreenshotArguments s;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-o" || a == "--output") {
            s.output = OptionValue(args, i);
        } else if (a == "--scale") {
            const std::string v = OptionValue(args, i);
            const bool digits = !v.empty() && v.size() <= 2 && v.find_first_not_of("0123456789") == std::string::npos;
            s.scale = digits ? std::stoi(v) : 0;
            if (s.scale < 1 || s.scale > kMaxScale)
                throw CliUsageError("scale '" + v + "' is not a whole number from 1 to " + std::to_string(kMaxScale));
        } else {
            throw CliUsageError("unknown argument '" + a + "' for 'screenshot'");
        }
    }
    if (s.output.empty())
        throw CliUsageError("usage: screenshot -o FILE.png|FILE.bmp|- [--scale N]");
    s.format = s.output == "-" ? "PNG" : ImageFormatOf(s.output);
    if (s.format.empty())
        throw CliUsageError("cannot tell the picture format of '" + s.output + "': name it .png or .bmp");
    return s;
}

}  // namespace

int RunScreenshot(CliContext& context, const std::vector<std::string>& args)
{
    const ScreenshotArguments s = Parse(args);
    if (s.output == "-" && isatty(STDOUT_FILENO))
        throw CliUsageError("will not write a picture to a terminal; redirect it or name a file");

    TTI92& link = context.Link().tti92();
    std::ostringstream lines;
    ConsoleTransferView view(link, lines, context.err, ConsoleTransferView::IsTerminal(context.err));
    ScreenBitmap screen;
    const bool grabbed = GrabScreenshot(link, view, screen);
    // The report line of a failed grab, or with the picture on standard
    // output, goes to the error stream.
    std::ostream& report = grabbed && s.output != "-" ? context.out : context.err;
    report << lines.str();
    if (!grabbed)
        return 2;

    const auto& bytes = screen.Bytes();
    const MonoPicture picture(ScreenCanvas::kWidth, ScreenCanvas::kHeight,
                              std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    const QImage image = ScaledCrisp(PictureImage(picture), s.scale);
    if (s.output == "-") {
        const QByteArray encoded = EncodeImage(image, "PNG");
        context.out.write(encoded.constData(), encoded.size());
        context.out.flush();
        return context.out ? 0 : 2;
    }
    WriteImageFile(image, s.output, s.format.c_str());
    report << "The screenshot was successfully saved into " << s.output << ".\n";
    return 0;
}
