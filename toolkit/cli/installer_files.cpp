// installer_files.cpp - install.cmd and uninstall.cmd made for a layout.
#include "installer_files.h"

#include <cstdint>
#include <string_view>

#include "base/error.h"
#include "installer_scripts.h"

namespace wendol::cli {

namespace {

constexpr std::string_view kBlockStart = "rem -- layout --\r\n";
constexpr std::string_view kBlockEnd = "rem -- end of layout --\r\n";

uint64_t fnv1a(std::string_view text, uint64_t hash)
{
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 0x100000001B3ull;
    }
    return hash;
}

std::string hex_digits(uint64_t value, int digits)
{
    static const char *const kDigits = "0123456789ABCDEF";
    std::string out(static_cast<size_t>(digits), '0');
    for (int i = digits - 1; i >= 0; --i, value >>= 4)
        out[static_cast<size_t>(i)] = kDigits[value & 0xF];
    return out;
}

std::string set_line(std::string_view name, std::string_view value)
{
    return "set \"" + std::string(name) + "=" + std::string(value) + "\"\r\n";
}

}  // namespace

std::string product_code(const std::string &name)
{
    std::string lower;
    for (char c : name)
        lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    const std::string key = "keyboard layout built by wendol: " + lower;
    uint64_t high = fnv1a(key, 0xCBF29CE484222325ull);
    uint64_t low = fnv1a(key, high ^ 0x9E3779B97F4A7C15ull);
    // A name-based GUID: version 8 (made by its own rule), RFC 4122 variant.
    high = (high & ~0xF000ull) | 0x8000ull;
    low = (low & ~(0xC000ull << 48)) | (0x8000ull << 48);
    return "{" + hex_digits(high >> 32, 8) + "-" + hex_digits(high >> 16, 4) + "-" + hex_digits(high, 4) + "-" +
           hex_digits(low >> 48, 4) + "-" + hex_digits(low, 12) + "}";
}

std::string script_text(const std::u16string &text, const std::string &fallback)
{
    std::string out;
    for (char16_t c : text)
        if (c >= 0x20 && c < 0x7F && std::u16string_view(u"\"%!^&|<>").find(c) == std::u16string_view::npos)
            out += static_cast<char>(c);
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    while (!out.empty() && out.front() == ' ')
        out.erase(out.begin());
    return out.empty() ? fallback : out;
}

std::string installer_script(const std::string &script, const InstallerNames &names)
{
    const size_t start = script.find(kBlockStart);
    const size_t end = script.find(kBlockEnd);
    if (start == std::string::npos || end == std::string::npos || end < start)
        fail("the installer's script", "a block of lines naming the layout", "none");
    const std::string_view block(script.data() + start, end - start);
    std::string written(kBlockStart);
    written += set_line("PRODUCT", names.product);
    written += set_line("DLL", names.dll);
    written += set_line("LAYOUT_TEXT", names.layout_text);
    if (block.find("set \"LANGUAGE=") != std::string_view::npos) {
        written += set_line("LANGUAGE", names.language);
        written += set_line("LANGUAGE_TEXT", names.language_text);
    }
    written += "rem The layout's own; uninstall.cmd removes only a key that carries it.\r\n";
    written += set_line("PRODUCT_CODE", product_code(names.product));
    return script.substr(0, start) + written + script.substr(end);
}

const std::string &install_script()
{
    static const std::string text(reinterpret_cast<const char *>(kInstallScript), sizeof kInstallScript);
    return text;
}

const std::string &uninstall_script()
{
    static const std::string text(reinterpret_cast<const char *>(kUninstallScript), sizeof kUninstallScript);
    return text;
}

}  // namespace wendol::cli
