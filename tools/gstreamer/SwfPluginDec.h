// swfplugindec: a GStreamer element that decodes Shockwave Flash movies
// (application/x-shockwave-flash, compressed or not) into BGRA video frames, each drawn
// through the plug-in library, which it loads by path as a media-editing host does.
#pragma once

#include <gst/gst.h>

G_BEGIN_DECLS

#define SWF_TYPE_PLUGIN_DEC (swf_plugin_dec_get_type())
G_DECLARE_FINAL_TYPE(SwfPluginDec, swf_plugin_dec, SWF, PLUGIN_DEC, GstElement)

// Registers the element with `plugin` at primary rank, so decodebin and playbin pick it.
gboolean swf_plugin_dec_register(GstPlugin* plugin);

G_END_DECLS
