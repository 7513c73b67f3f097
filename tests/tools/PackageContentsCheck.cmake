# Makes the Debian package from this build with CPack and checks what it holds: the
# programs, the resource library where they look for it, the unit that starts orvvds from
# /usr/bin with its socket folder, the registry's folder, the README, and the maintainer
# scripts that register and stop the service.
#   cmake -DBUILD_DIR=... -DOUT_DIR=... -P PackageContentsCheck.cmake
file(REMOVE_RECURSE ${OUT_DIR})
file(MAKE_DIRECTORY ${OUT_DIR})
execute_process(COMMAND cpack -G DEB --config ${BUILD_DIR}/CPackConfig.cmake -B ${OUT_DIR}
                RESULT_VARIABLE made OUTPUT_VARIABLE made_out ERROR_VARIABLE made_err)
if(NOT made EQUAL 0)
  message(FATAL_ERROR "cpack failed: ${made_out}${made_err}")
endif()
file(GLOB debs ${OUT_DIR}/orvvds_*.deb)
list(LENGTH debs count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "expected one package in ${OUT_DIR}, found: ${debs}")
endif()
execute_process(COMMAND dpkg-deb -c ${debs} OUTPUT_VARIABLE contents RESULT_VARIABLE listed)
if(NOT listed EQUAL 0)
  message(FATAL_ERROR "dpkg-deb cannot read ${debs}")
endif()
foreach(entry
    "-rwxr-xr-x .* ./usr/bin/orvvds\n"
    "-rwxr-xr-x .* ./usr/bin/orvraid\n"
    "-rwxr-xr-x .* ./usr/bin/orvcim\n"
    " ./usr/lib/libOrv_Resources.so\n"
    " ./lib/systemd/system/OrvVds.service\n"
    "drwx------ .* ./var/lib/orvds/\n"
    " ./usr/share/doc/orvvds/README.md\n")
  if(NOT contents MATCHES "${entry}")
    message(FATAL_ERROR "the package lacks ${entry}:\n${contents}")
  endif()
endforeach()
if(contents MATCHES "corvane-sim|/include/|\\.a\n")
  message(FATAL_ERROR "the package holds what an installation does not need:\n${contents}")
endif()
execute_process(COMMAND dpkg-deb --fsys-tarfile ${debs} OUTPUT_FILE ${OUT_DIR}/files.tar)
execute_process(COMMAND tar -xf files.tar ./lib/systemd/system/OrvVds.service WORKING_DIRECTORY ${OUT_DIR})
file(READ ${OUT_DIR}/lib/systemd/system/OrvVds.service unit)
foreach(line "ExecStart=\"/usr/bin/orvvds\"\n" "RuntimeDirectory=orvvds\n" "StateDirectory=orvds\n")
  string(FIND "${unit}" "${line}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the unit lacks ${line}:\n${unit}")
  endif()
endforeach()
execute_process(COMMAND dpkg-deb -e ${debs} ${OUT_DIR}/control)
file(READ ${OUT_DIR}/control/postinst postinst)
if(NOT postinst MATCHES "/usr/bin/orvvds -Service")
  message(FATAL_ERROR "postinst does not register the service:\n${postinst}")
endif()
