# With KESTREL_SANITIZE every target of the project, tests included, is built
# with AddressSanitizer and UndefinedBehaviorSanitizer; any finding aborts.
if(KESTREL_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
