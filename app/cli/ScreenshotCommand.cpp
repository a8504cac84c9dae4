#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <ostream>
#include <sstream>

#include "app/cli/CliCommands.h"
#include "app/cli/CliLink.h"
#include "app/cli/ConsoleTransferView.h"
#include "app/cli/OutputTarget.h"
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

ScreenshotArguments Parse(const ParsedOptions& args)
{
    ScreenshotArguments s;
    s.output = args.Value("output");
    if (args.Has("scale")) {
        const std::string v = args.Value("scale");
        const bool digits = !v.empty() && v.size() <= 2 && v.find_first_not_of("0123456789") == std::string::npos;
        s.scale = digits ? std::stoi(v) : 0;
        if (s.scale < 1 || s.scale > kMaxScale)
            throw CliUsageError("scale '" + v + "' is not a whole number from 1 to " + std::to_string(kMaxScale));
    }
    if (!args.positional.empty())
        throw CliUsageError("takes no arguments, not '" + args.positional.front() + "'");
    if (s.output.empty())
        throw CliUsageError("needs -o FILE.png, FILE.bmp or -");
    std::error_code ec;
    if (std::filesystem::is_directory(s.output, ec))
        s.output = (std::filesystem::path(s.output) / "screenshot.png").string();
    s.format = s.output == "-" ? "PNG" : ImageFormatOf(s.output);
    if (s.format.empty())
        throw CliUsageError("cannot tell the picture format of '" + s.output + "': name it .png or .bmp");
    return s;
}

}  // namespace

int RunScreenshot(CliContext& context, const ParsedOptions& args)
{
    const ScreenshotArguments s = Parse(args);
    // A path that cannot be written is refused before the screen is asked for.
    OutputTarget::Check(s.output, isatty(STDOUT_FILENO) && &context.out == &std::cout);

    Ti92Link& link = context.Link().tti92();
    ConsoleTransferView view(link, context);
    ScreenBitmap screen;
    if (!GrabScreenshot(link, view, screen))
        return view.FailureStatus();

    const auto& bytes = screen.Bytes();
    const MonoPicture picture(ScreenCanvas::kWidth, ScreenCanvas::kHeight,
                              std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    const QImage image = ScaledCrisp(PictureImage(picture), s.scale);
    if (s.output == "-") {
        const QByteArray encoded = EncodeImage(image, "PNG");
        context.out.write(encoded.constData(), encoded.size());
        context.out.flush();
        if (!context.out) {
            context.Fail("writing to standard output failed");
            return exitstatus::kError;
        }
        context.Report(context.err, "Saved the screenshot to standard output");
        return exitstatus::kSuccess;
    }
    WriteImageFile(image, s.output, s.format.c_str());
    context.Report("Saved the screenshot to " + s.output);
    return 0;
}
