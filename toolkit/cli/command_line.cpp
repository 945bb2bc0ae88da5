// command_line.cpp - what every command does with its arguments.
#include "base/numbers.h"
#include "commands.h"

namespace wendol::cli {

std::optional<std::string> take_option(std::vector<std::string> &args, std::string_view name)
{
    const std::string prefix = std::string(name) + "=";
    for (auto it = args.begin(); it != args.end(); ++it) {
        if (it->rfind(prefix, 0) == 0) {
            std::string value = it->substr(prefix.size());
            args.erase(it);
            return value;
        }
        if (*it == name) {
            if (it + 1 == args.end())
                throw UsageError(std::string(name) + " needs a value");
            std::string value = *(it + 1);
            args.erase(it, it + 2);
            return value;
        }
    }
    return std::nullopt;
}

bool take_flag(std::vector<std::string> &args, std::string_view name)
{
    for (auto it = args.begin(); it != args.end(); ++it)
        if (*it == name) {
            args.erase(it);
            return true;
        }
    return false;
}

void expect_operands(const std::vector<std::string> &args, size_t count, const char *synopsis)
{
    for (const std::string &a : args)
        if (a.size() > 1 && a[0] == '-')
            throw UsageError("unknown option " + a + " (usage: " + synopsis + ")");
    if (args.size() != count)
        throw UsageError("expected " + std::to_string(count) + " argument" +
                         (count == 1 ? "" : "s") + ", found " + std::to_string(args.size()) +
                         " (usage: " + synopsis + ")");
}

uint64_t parse_address(std::string_view text)
{
    const std::optional<uint64_t> value = parse_number(text, NumberForm::DecimalOrHex);
    if (!value)
        throw UsageError("expected an address such as 0x90000000, found \"" + std::string(text) +
                         "\"");
    return *value;
}

MappedImage load_image(const std::string &path, const std::optional<std::string> &base)
{
    const std::optional<uint64_t> address =
        base ? std::optional(parse_address(*base)) : std::nullopt;
    PeFile file = PeFile::read(path);
    const uint64_t at = address ? *address : file.headers().image_base;
    return MappedImage(std::move(file), at);
}

std::optional<std::string> nls_notice(const MappedImage &image)
{
    for (const Export &e : image.file().exports())
        if (e.name == "KbdNlsLayerDescriptor")
            return std::string("note: the layout exports KbdNlsLayerDescriptor; its NLS key handling "
                               "and IME keys are not modelled, so this may not be all the "
                               "platform does");
    return std::nullopt;
}

MappedImage load_image_argument(std::vector<std::string> &args, const char *synopsis)
{
    const std::optional<std::string> base = take_option(args, "--base");
    expect_operands(args, 1, synopsis);
    return load_image(args[0], base);
}

}  // namespace wendol::cli
