#include "cli/ConvertArgs.h"

#include <cstddef>

std::variant<TConvertOptions, TUsageError> ParseConvertArgs(
    const std::vector<std::string_view>& args) {
    TConvertOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view arg = args[i];
        auto value = [&](std::string& target) {
            if (i + 1 >= args.size()) return false;
            target = args[++i];
            return true;
        };
        bool ok = true;
        if (arg == "--help" || arg == "-h") {
            options.Help = true;
            return options;
        } else if (arg == "--version") {
            options.Version = true;
            return options;
        } else if (arg == "--article") {
            ok = value(options.Import.ArticleFile);
        } else if (arg == "--print") {
            ok = value(options.Import.PrintFile);
        } else if (arg == "--out") {
            ok = value(options.Export.Folder);
        } else if (arg == "--prefix") {
            ok = value(options.Import.Prefix);
        } else if (arg == "--start") {
            ok = value(options.Import.StartValue);
        } else if (arg == "--vat") {
            ok = value(options.Import.NdsValue);
        } else if (arg == "--write-id") {
            options.Export.WriteID = true;
        } else if (arg == "--quiet") {
            options.Quiet = true;
        } else if (arg == "--ean13") {
            options.Import.Ean13 = true;
        } else if (arg == "--check") {
            options.Check = true;
        } else if (arg == "--check-only") {
            options.Check = options.CheckOnly = true;
        } else {
            return TUsageError{"unknown argument: " + std::string(arg)};
        }
        if (!ok) return TUsageError{std::string(arg) + " needs a value"};
    }
    return options;
}
