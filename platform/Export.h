#pragma once
// How the plugin's two entry points are declared for the host.
// On Windows the export names and ordinals come from plugin.def; elsewhere the
// handler's GBK export name is given to the symbol itself.
#if defined(_WIN32)
#define JESTLARK_STDCALL __stdcall
#define JESTLARK_EXPORT
#define JESTLARK_EXPORT_AS(name)
#else
#define JESTLARK_STDCALL
#define JESTLARK_EXPORT __attribute__((visibility("default")))
#define JESTLARK_EXPORT_AS(name) __asm__(name)
#endif
