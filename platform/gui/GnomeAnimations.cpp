#include <gio/gio.h>

#include "platform/gui/GnomeAnimations.h"

namespace platform::gnomeanimations {
namespace {

constexpr char kSchema[] = "org.gnome.desktop.interface";
constexpr char kKey[] = "enable-animations";

// The settings object, made once; null when the schema or its key is not installed.
GSettings *settings() {
  static GSettings *const instance = []() -> GSettings * {
    GSettingsSchemaSource *source = g_settings_schema_source_get_default();
    if (source == nullptr) {
      return nullptr;
    }
    GSettingsSchema *schema = g_settings_schema_source_lookup(source, kSchema, TRUE);
    if (schema == nullptr) {
      return nullptr;
    }
    const bool hasKey = g_settings_schema_has_key(schema, kKey) != 0;
    g_settings_schema_unref(schema);
    return hasKey ? g_settings_new(kSchema) : nullptr;
  }();
  return instance;
}

void onChanged(GSettings *, gchar *, gpointer data) {
  (*static_cast<std::function<void()> *>(data))();
}

} // namespace

std::optional<bool> enabled() {
  GSettings *s = settings();
  if (s == nullptr) {
    return std::nullopt;
  }
  return g_settings_get_boolean(s, kKey) != 0;
}

void watch(std::function<void()> onChange) {
  GSettings *s = settings();
  if (s == nullptr) {
    return;
  }
  // Lives as long as the process, like the settings object it is connected to.
  auto *callback = new std::function<void()>(std::move(onChange));
  g_signal_connect(s, "changed::enable-animations", G_CALLBACK(onChanged), callback);
}

} // namespace platform::gnomeanimations
