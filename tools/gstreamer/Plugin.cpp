// The GStreamer plug-in "swfplugin": the one element swfplugindec.
#include "tools/gstreamer/SwfPluginDec.h"

namespace {

gboolean PluginInit(GstPlugin* plugin) {
    return swf_plugin_dec_register(plugin);
}

} // namespace

#define PACKAGE "swfplugin"
GST_PLUGIN_DEFINE(GST_VERSION_MAJOR, GST_VERSION_MINOR, swfplugin,
                  "Shockwave Flash movies drawn through the swfplugin reader plug-in", PluginInit,
                  SWFPLUGIN_VERSION, GST_LICENSE_UNKNOWN, "swfplugin", "swfplugin source tree")
