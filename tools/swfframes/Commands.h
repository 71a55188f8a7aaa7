// The subcommands of swfframes.  Each returns the process exit code.
#pragma once

#include "tools/swfframes/Options.h"
#include "tools/swfhost/PluginHost.h"

int RunInfo(const Options& options, const PluginHost& host);
int RunRender(const Options& options, const PluginHost& host);
int RunSheet(const Options& options, const PluginHost& host);
int RunVideo(const Options& options, const PluginHost& host);
int RunInflate(const Options& options);
int RunBench(const Options& options, const PluginHost& host);
