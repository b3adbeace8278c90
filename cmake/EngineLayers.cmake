# The folders of src/ in their layers, bottom up, and for each folder the folders its files may
# include besides its own. src/CMakeLists.txt links each engine folder's library to those below
# it, and CheckEngineIncludes.cmake fails the build when a file includes a folder not listed
# for its own. A new folder is added here first.
#
#   core                               numbers, files, rasters, texts, ports
#   options                            the plain option values
#   jpeg  timestamp  settings  folders
#   formats                            photo decoders by content, output encoders
#   imaging  album
#   run                                a whole conversion
#   site                               the kept album: catalogue, scan, build, pages
#   ui  cli                            the two programs (startup: their process set-up)
set(SNAPFOLIO_ENGINE_FOLDERS core options jpeg timestamp settings folders formats imaging album run
    site)

set(SNAPFOLIO_BELOW_core)
set(SNAPFOLIO_BELOW_options core)
set(SNAPFOLIO_BELOW_jpeg core options)
set(SNAPFOLIO_BELOW_timestamp core options)
set(SNAPFOLIO_BELOW_settings core options)
set(SNAPFOLIO_BELOW_folders core options)
set(SNAPFOLIO_BELOW_formats core options jpeg)
set(SNAPFOLIO_BELOW_imaging core options jpeg timestamp settings folders formats)
set(SNAPFOLIO_BELOW_album core options jpeg timestamp settings folders formats)
set(SNAPFOLIO_BELOW_run core options jpeg timestamp settings folders formats imaging album)
set(SNAPFOLIO_BELOW_site core options jpeg timestamp settings folders formats imaging album run)
set(SNAPFOLIO_BELOW_startup)
set(SNAPFOLIO_BELOW_ui ${SNAPFOLIO_ENGINE_FOLDERS} startup)
set(SNAPFOLIO_BELOW_cli ${SNAPFOLIO_ENGINE_FOLDERS} startup)
