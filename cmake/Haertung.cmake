# Hardening of the programs as Debian builds its own packages: the stack
# protector, fortified C library calls in optimised builds, relocations made
# read-only and bound at start. Not with the sanitizers or the fuzzer, which
# bring their own instrumentation.
if(NOT GSMBV_FUZZ AND NOT GSMBV_SANITIZE)
  add_compile_options(-fstack-protector-strong
                      $<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-D_FORTIFY_SOURCE=2>)
  add_link_options(-Wl,-z,relro -Wl,-z,now)
endif()
