// keyman_core.cpp - Keyman Core's action items turned into the steps both
// wrappers report.
#include "keyman/keyman_core.h"

#include <string>

namespace wendol::test {

// The flags the tests pass are Core's own.
static_assert(keyman_modifier::left_ctrl == KM_KBP_MODIFIER_LCTRL);
static_assert(keyman_modifier::right_ctrl == KM_KBP_MODIFIER_RCTRL);
static_assert(keyman_modifier::left_alt == KM_KBP_MODIFIER_LALT);
static_assert(keyman_modifier::right_alt == KM_KBP_MODIFIER_RALT);
static_assert(keyman_modifier::shift == KM_KBP_MODIFIER_SHIFT);
static_assert(keyman_modifier::caps == KM_KBP_MODIFIER_CAPS);
static_assert(keyman_modifier::no_caps == KM_KBP_MODIFIER_NOCAPS);

KeymanCoreError::KeymanCoreError(const std::string &what, km_kbp_status code)
    : std::runtime_error(what + ": Keyman Core status " + std::to_string(code)), status(code) {}

namespace {

void check(km_kbp_status status, const std::string &what) {
    if (status != KM_KBP_STATUS_OK) throw KeymanCoreError(what, status);
}

// The context as Core's own items; the caller disposes of them.
struct ContextItems {
    explicit ContextItems(km_kbp_context *context) {
        check(km_kbp_context_get(context, &items), "reading the context");
    }
    ~ContextItems() { km_kbp_context_items_dispose(items); }
    ContextItems(const ContextItems &) = delete;
    ContextItems &operator=(const ContextItems &) = delete;

    km_kbp_context_item *items = nullptr;
};

}  // namespace

std::vector<EngineStep> steps_from(const km_kbp_action_item *items) {
    using Kind = EngineStep::Kind;
    std::vector<EngineStep> steps;
    for (const km_kbp_action_item *item = items; item->type != KM_KBP_IT_END; ++item) {
        switch (item->type) {
        case KM_KBP_IT_CHAR: steps.push_back({Kind::insert, item->character}); break;
        case KM_KBP_IT_MARKER:
            steps.push_back({Kind::set_marker, static_cast<char32_t>(item->marker)});
            break;
        case KM_KBP_IT_BACK:
            // BT_UNKNOWN is a user's Backspace past what Core knows: a character.
            if (item->backspace.expected_type == KM_KBP_BT_MARKER)
                steps.push_back({Kind::delete_marker, static_cast<char32_t>(item->backspace.expected_value)});
            else
                steps.push_back({Kind::delete_character, static_cast<char32_t>(item->backspace.expected_value)});
            break;
        case KM_KBP_IT_ALERT: steps.push_back({Kind::alert}); break;
        case KM_KBP_IT_EMIT_KEYSTROKE: steps.push_back({Kind::passed_on}); break;
        case KM_KBP_IT_INVALIDATE_CONTEXT: steps.push_back({Kind::context_reset}); break;
        case KM_KBP_IT_CAPSLOCK: steps.push_back({Kind::caps_lock, item->capsLock}); break;
        default: break;  // PERSIST_OPT: an option to store, nothing typed
        }
    }
    return steps;
}

KeymanCore::KeymanCore(const std::filesystem::path &kmx, size_t context_limit)
    : context_limit_(context_limit) {
    km_kbp_keyboard *keyboard = nullptr;
    check(km_kbp_keyboard_load(kmx.c_str(), &keyboard), "loading " + kmx.string());
    keyboard_.reset(keyboard);

    const km_kbp_option_item environment[] = {KM_KBP_OPTIONS_END};
    km_kbp_state *state = nullptr;
    check(km_kbp_state_create(keyboard_.get(), environment, &state), "making a state for " + kmx.string());
    state_.reset(state);
}

KeyResult KeymanCore::press(const Keystroke &key) {
    check(km_kbp_process_event(state_.get(), key.vk, key.modifiers, /*is_key_down=*/1),
          "typing virtual key " + std::to_string(key.vk));
    KeyResult result{steps_from(km_kbp_state_action_items(state_.get(), nullptr))};
    trim_context();
    return result;
}

// Trimmed in batches, at twice the limit, so the copy is paid once in
// `context_limit_` keys.
void KeymanCore::trim_context() {
    km_kbp_context *context = km_kbp_state_context(state_.get());
    if (km_kbp_context_length(context) <= 2 * context_limit_) return;
    ContextItems items(context);
    const size_t length = km_kbp_context_item_list_size(items.items);
    check(km_kbp_context_set(context, items.items + (length - context_limit_)), "trimming the context");
}

TypedText KeymanCore::type(const std::vector<Keystroke> &keys, const PlatformKey &platform) {
    reset();
    return type_each(keys, platform, [this](const Keystroke &key) { return press(key); });
}

void KeymanCore::reset() { km_kbp_context_clear(km_kbp_state_context(state_.get())); }

std::u32string KeymanCore::context_text() const {
    ContextItems context(km_kbp_state_context(state_.get()));
    std::u32string text;
    for (const km_kbp_context_item *item = context.items; item->type != KM_KBP_CT_END; ++item)
        if (item->type == KM_KBP_CT_CHAR) text += item->character;
    return text;
}

size_t KeymanCore::context_markers() const {
    ContextItems context(km_kbp_state_context(state_.get()));
    size_t markers = 0;
    for (const km_kbp_context_item *item = context.items; item->type != KM_KBP_CT_END; ++item)
        if (item->type == KM_KBP_CT_MARKER) ++markers;
    return markers;
}

}  // namespace wendol::test
