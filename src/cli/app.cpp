#include "cli/app.h"

#include <ostream>

#include "cli/commands.h"
#include "core/errors.h"

namespace varnix::cli {

int RunVarnix(int argc, const char* const* argv, Streams streams) {
    CLI::App app{
        "Varnix cuts AC3, DTS, MPEG-1 Layer II and PCM WAV audio into pieces whose lengths follow\n"
        "a list of durations (PAL or NTSC time codes, or the durations of video and audio\n"
        "files), on frame boundaries and without decoding. Files can be merged first.",
        "varnix"};
    app.set_version_flag("--version", std::string("varnix ") + VARNIX_VERSION);
    app.require_subcommand(1);
    app.fallthrough(false);

    Context context{streams};
    AddInfoCommand(app, context);
    AddDurationCommand(app, context);
    AddSplitCommand(app, context);
    AddMergeCommand(app, context);
    AddChaptersCommand(app, context);
    AddDemoCommand(app, context);

    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& e) {
        return app.exit(e, streams.out, streams.err);
    } catch (const CLI::ParseError& e) {
        app.exit(e, streams.out, streams.err);
        return kExitUsage;
    } catch (const VarnixError& e) {
        streams.err << "varnix: " << e.what() << '\n';
        return std::max(context.status, kExitFileFailed);
    }
    return context.status;
}

}  // namespace varnix::cli
