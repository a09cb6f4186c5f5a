# HASHBENCH_SANITIZE applies to everything built in this tree, tests included.
if(HASHBENCH_SANITIZE)
  set(_hb_san_flags -fsanitize=${HASHBENCH_SANITIZE} -fno-omit-frame-pointer -g)
  if(HASHBENCH_SANITIZE MATCHES "address|undefined")
    list(APPEND _hb_san_flags -fno-sanitize-recover=all)
  endif()
  add_compile_options(${_hb_san_flags})
  add_link_options(-fsanitize=${HASHBENCH_SANITIZE})
endif()
