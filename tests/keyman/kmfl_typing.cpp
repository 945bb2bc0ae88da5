// kmfl_typing.cpp - kmflcomp run on a source, libkmfl's callbacks turned
// into the steps both wrappers report, and the US table from virtual keys
// to the keysyms kmflcomp compiled them to.
#include "keyman/kmfl_typing.h"

#include <array>
#include <cstdio>
#include <sys/wait.h>

// libkmfl.h uses these without declaring them; KMSI stays opaque here.
typedef unsigned int UINT;
typedef UINT ITEM;
typedef struct _kmsi KMSI;
#include <kmfl/libkmfl.h>

// The platform side libkmfl calls back into; `connection` is a KmflSink.
extern "C" {
void output_string(void *connection, char *text) {
    auto *sink = static_cast<wendol::test::KmflSink *>(connection);
    for (char32_t c : wendol::test::from_utf8(text))
        sink->steps.push_back({wendol::test::EngineStep::Kind::insert, c});
}
void output_beep(void *connection) {
    static_cast<wendol::test::KmflSink *>(connection)->steps.push_back({wendol::test::EngineStep::Kind::alert});
}
void forward_keyevent(void *connection, UINT, UINT) {
    static_cast<wendol::test::KmflSink *>(connection)->steps.push_back({wendol::test::EngineStep::Kind::passed_on});
}
void erase_char(void *connection) {
    static_cast<wendol::test::KmflSink *>(connection)->steps.push_back(
        {wendol::test::EngineStep::Kind::delete_character});
}
}

namespace wendol::test {

namespace {

std::string quoted(const std::filesystem::path &path) {
    std::string out = "'";
    for (char c : path.string()) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

// KMFL's state bits (libkmfl's modified_state reads these).
constexpr unsigned x_shift = 0x01, x_lock = 0x02, x_control = 0x04, x_alt = 0x08;
constexpr unsigned right_control = 0x400, right_alt = 0x800;

// The US keysyms of the keys that type a character: unshifted, and the
// letters' capitals (kmflcomp gives no other key a shifted keysym).
std::optional<unsigned> character_keysym(uint16_t vk) {
    if (vk >= 'A' && vk <= 'Z') return vk - 'A' + 'a';
    if (vk >= '0' && vk <= '9') return vk;
    switch (vk) {
    case 0x20: return ' ';
    case 0xBA: return ':';  // kmflcomp's K_COLON: the name's colon, where X's ; key sends semicolon
    case 0xBB: return '=';
    case 0xBC: return ',';
    case 0xBD: return '-';
    case 0xBE: return '.';
    case 0xBF: return '/';
    case 0xC0: return '`';
    case 0xDB: return '[';
    case 0xDC: return '\\';
    case 0xDD: return ']';
    case 0xDE: return '\'';
    case 0xE2: return '<';  // K_oE2, the key beside left Shift
    default: return std::nullopt;
    }
}

// Keys that type no character, by their X keysyms.
std::optional<unsigned> function_keysym(uint16_t vk) {
    if (vk >= 0x60 && vk <= 0x69) return 0xFFB0 + (vk - 0x60);  // KP_0..KP_9
    if (vk >= 0x70 && vk <= 0x7B) return 0xFFBE + (vk - 0x70);  // F1..F12
    switch (vk) {
    case 0x08: return 0xFF08;  // BackSpace
    case 0x09: return 0xFF09;  // Tab
    case 0x0D: return 0xFF0D;  // Return
    case 0x1B: return 0xFF1B;  // Escape
    case 0x21: return 0xFF55;  // Prior
    case 0x22: return 0xFF56;  // Next
    case 0x23: return 0xFF57;  // End
    case 0x24: return 0xFF50;  // Home
    case 0x25: return 0xFF51;  // Left
    case 0x26: return 0xFF52;  // Up
    case 0x27: return 0xFF53;  // Right
    case 0x28: return 0xFF54;  // Down
    case 0x2D: return 0xFF63;  // Insert
    case 0x2E: return 0xFFFF;  // Delete
    case 0x6A: return 0xFFAA;  // KP_Multiply
    case 0x6B: return 0xFFAB;  // KP_Add
    case 0x6D: return 0xFFAD;  // KP_Subtract
    case 0x6E: return 0xFFAE;  // KP_Decimal
    case 0x6F: return 0xFFAF;  // KP_Divide
    default: return std::nullopt;
    }
}

unsigned x_state_for(uint16_t modifiers) {
    namespace m = keyman_modifier;
    unsigned state = 0;
    if (modifiers & m::shift) state |= x_shift;
    if (modifiers & m::caps) state |= x_lock;
    if (modifiers & m::left_ctrl) state |= x_control;
    if (modifiers & m::right_ctrl) state |= x_control | right_control;  // both held reads as right
    if (modifiers & m::left_alt) state |= x_alt;
    if (modifiers & m::right_alt) state |= x_alt | right_alt;
    return state;
}

}  // namespace

KmflCompile compile_with_kmflcomp(const std::filesystem::path &kmn, const std::filesystem::path &out_dir) {
    std::filesystem::create_directories(out_dir);
    const std::filesystem::path source = out_dir / kmn.filename();
    if (std::filesystem::absolute(kmn) != std::filesystem::absolute(source))
        std::filesystem::copy_file(kmn, source, std::filesystem::copy_options::overwrite_existing);

    KmflCompile result;
    const std::string command = "env -u DISPLAY kmflcomp " + quoted(source) + " 2>&1";
    FILE *pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) throw KmflError("cannot run kmflcomp");
    std::array<char, 4096> buffer;
    while (size_t n = fread(buffer.data(), 1, buffer.size(), pipe)) result.messages.append(buffer.data(), n);
    const int status = pclose(pipe);
    result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (result.ok()) result.kmfl = std::filesystem::path(source).replace_extension(".kmfl");
    return result;
}

std::optional<XKey> x_key_for(const Keystroke &key) {
    const unsigned state = x_state_for(key.modifiers);
    if (auto keysym = character_keysym(key.vk)) {
        const bool letter = key.vk >= 'A' && key.vk <= 'Z';
        const bool capital = letter && (((state & x_shift) != 0) != ((state & x_lock) != 0));
        return XKey{capital ? *keysym - 'a' + 'A' : *keysym, state};
    }
    if (auto keysym = function_keysym(key.vk)) return XKey{*keysym, state};
    return std::nullopt;
}

struct KmflTyping::Instance {
    KMSI *kmsi = nullptr;
    ~Instance() {
        if (kmsi == nullptr) return;
        kmfl_detach_keyboard(kmsi);
        kmfl_delete_keyboard_instance(kmsi);
    }
};

KmflTyping::KmflTyping(const std::filesystem::path &kmfl) : sink_(std::make_unique<KmflSink>()) {
    keyboard_ = kmfl_load_keyboard(kmfl.c_str());
    if (keyboard_ < 0) throw KmflError("libkmfl cannot load " + kmfl.string());
    instance_ = std::make_unique<Instance>();
    instance_->kmsi = kmfl_make_keyboard_instance(sink_.get());
    if (instance_->kmsi == nullptr || kmfl_attach_keyboard(instance_->kmsi, keyboard_) != 0) {
        instance_.reset();
        kmfl_unload_keyboard(keyboard_);
        throw KmflError("libkmfl cannot attach " + kmfl.string());
    }
}

KmflTyping::~KmflTyping() {
    instance_.reset();
    kmfl_unload_keyboard(keyboard_);
}

KeyResult KmflTyping::press(const XKey &key) {
    sink_->steps.clear();
    if (kmfl_interpret(instance_->kmsi, key.keysym, key.state) == 0)
        sink_->steps.push_back({EngineStep::Kind::passed_on});
    return KeyResult{std::move(sink_->steps)};
}

KeyResult KmflTyping::press(const Keystroke &key) {
    if (auto x = x_key_for(key)) return press(*x);
    return KeyResult{{{EngineStep::Kind::passed_on}}};
}

TypedText KmflTyping::type(const std::vector<Keystroke> &keys, const PlatformKey &platform) {
    reset();
    TypedText typed = type_each(keys, platform, [this](const Keystroke &key) { return press(key); });
    typed.markers_left = marker_pending() ? 1 : 0;
    return typed;
}

void KmflTyping::reset() { clear_history(instance_->kmsi); }

bool KmflTyping::marker_pending() const { return deadkey_in_history(instance_->kmsi) != 0; }

}  // namespace wendol::test
