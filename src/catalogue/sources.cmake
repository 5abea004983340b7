# Files of this subsystem: platform-free ones into vantrel_portable, the Win32
# layer into vantrel_win32.
target_sources(vantrel_portable PRIVATE
    catalogue/NeResources.cpp
    catalogue/ResourceRecords.cpp
)

if(VANTREL_WINDOWS)
    target_sources(vantrel_win32 PRIVATE
        catalogue/MapNeImage.cpp
        catalogue/RecordStore.cpp
        catalogue/ResourceSource.cpp
    )
endif()
