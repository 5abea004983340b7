# Copies SOURCE to DESTINATION when SOURCE exists; otherwise says what is
# missing and leaves the folder without it (cmake -P, at build time).
if(EXISTS "${SOURCE}")
    file(COPY_FILE "${SOURCE}" "${DESTINATION}" ONLY_IF_DIFFERENT)
else()
    message(WARNING "${SOURCE} is not built yet: the installer folder lacks it")
endif()
