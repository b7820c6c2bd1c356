# The hardening every Debian package gets from dpkg-buildflags: checked buffer
# calls, stack protection and a read-only relocation table bound at start.
# The sanitizers and the fuzzers bring their own checks and are left alone.
if(NOT KESTREL_SANITIZE AND NOT KESTREL_BUILD_FUZZ)
  add_compile_options(-fstack-protector-strong
                      $<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-D_FORTIFY_SOURCE=2>)
  add_link_options(LINKER:-z,relro LINKER:-z,now)
endif()
