# Runs at install time, after the files are in place.

# Port 138 is privileged; the capability lets an ordinary user's Parlino bind it.
find_program(SETCAP setcap PATHS /usr/sbin /sbin)
if(SETCAP)
    execute_process(COMMAND "${SETCAP}" cap_net_bind_service=+ep "$ENV{DESTDIR}${PARLINO_BINARY}"
                    RESULT_VARIABLE setcap_result ERROR_VARIABLE setcap_error)
    if(setcap_result EQUAL 0)
        message(STATUS "Granted cap_net_bind_service: $ENV{DESTDIR}${PARLINO_BINARY}")
    else()
        message(WARNING "setcap failed (${setcap_error}); Parlino will receive only on a port above 1023 "
                        "(PARLINO_NBT_PORT) unless run with the capability")
    endif()
else()
    message(WARNING "setcap not found (apt-get install libcap2-bin); Parlino cannot bind port 138 as a user")
endif()

set(machine_ini "$ENV{DESTDIR}${PARLINO_MACHINE_INI}")
file(WRITE "${machine_ini}" "[SOFTWARE\\Parlino]\nInstallPath=${PARLINO_INSTALL_PATH}\n")
message(STATUS "Installing: ${machine_ini}")
