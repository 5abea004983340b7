# Files of this subsystem: platform-free ones into vantrel_portable, the Win32
# layer into vantrel_win32.
target_sources(vantrel_portable PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/ClipboardBlocks.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MemoryFile.cpp
)

if(VANTREL_WINDOWS)
    target_sources(vantrel_win32 PRIVATE
        ${CMAKE_CURRENT_LIST_DIR}/MemoryFileProc.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ClipDevice.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ClipboardPut.cpp
        ${CMAKE_CURRENT_LIST_DIR}/ClipCopy.cpp
    )
endif()
