# Steps of cmake --install that need the prefix it installs to (see
# Install.cmake). Runs in the install script, where CMAKE_INSTALL_PREFIX is
# that prefix.

# A destination below the prefix, or an absolute one as it is.
function(hashbench_installed_path out destination)
  if(IS_ABSOLUTE "${destination}")
    set(${out} "${destination}" PARENT_SCOPE)
  else()
    set(${out} "${CMAKE_INSTALL_PREFIX}/${destination}" PARENT_SCOPE)
  endif()
endfunction()

# Installs each header under `destination`, keeping its folder, with the
# project's includes ("runtime/...", "containers/...") rewritten to the
# installed names ("hashbench/runtime/...").
function(hashbench_install_headers sourceDir stageDir destination headers)
  hashbench_installed_path(target "${destination}")
  foreach(header IN LISTS headers)
    file(READ "${sourceDir}/${header}" text)
    string(REGEX REPLACE "#include \"(runtime|containers)/" "#include \"hashbench/\\1/" text "${text}")
    file(WRITE "${stageDir}/${header}" "${text}")
    get_filename_component(folder "${header}" DIRECTORY)
    file(INSTALL "${stageDir}/${header}" DESTINATION "${target}/${folder}")
  endforeach()
endfunction()

# The pkg-config file, in <libdir>/pkgconfig; its directories are written
# relative to ${prefix} where they lie below it.
function(hashbench_install_pkg_config template staged libDir includeDir version)
  set(prefix "${CMAKE_INSTALL_PREFIX}")
  foreach(kind IN ITEMS lib include)
    if(IS_ABSOLUTE "${${kind}Dir}")
      set(${kind}dir "${${kind}Dir}")
    else()
      set(${kind}dir "\${prefix}/${${kind}Dir}")
    endif()
  endforeach()
  configure_file("${template}" "${staged}" @ONLY)
  hashbench_installed_path(target "${libDir}/pkgconfig")
  file(INSTALL "${staged}" DESTINATION "${target}")
endfunction()
