# One platform layer per build: Win32 for Windows targets, POSIX elsewhere.
if(WIN32)
  set(JESTLARK_PLATFORM win32)
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
  if(MINGW)
    # The host gets one file: no MinGW runtime DLL beside it.
    add_link_options(-static -static-libgcc -static-libstdc++)
  endif()
else()
  set(JESTLARK_PLATFORM posix)
endif()
