# The layers of the tree, written once: one row a folder of src/, lowest first. Each folder is
# one library, vireo_<folder>. The build makes the libraries and their links from these rows
# (CMakeLists.txt), the layer check allows an include of only the folders a folder links
# (CheckLayers.cmake), and the layout of docs/architecture.md is written from them
# (LayersDoc.cmake). Included by the build and by those scripts (cmake -P), so it only records.
#
# vireo_row(FOLDER KIND [QT] [LINKS folder...] [PRIVATE folder...] [EXTERNAL target...]
#           [PRIVATE_EXTERNAL target...] [EXCLUDE file...] ABOUT text)
#   KIND      STATIC, SHARED or MODULE
#   QT        the folder may include Qt's headers; every other folder must not
#   LINKS     our folders it links and passes on to what links it; PRIVATE: links for itself
#   EXTERNAL  other libraries (targets) it links and passes on; PRIVATE_EXTERNAL: for itself
#   EXCLUDE   sources of the folder that are not part of its library
#   ABOUT     what the folder holds, for the layout of the architecture document
set(VIREO_LAYERS "")
function(vireo_row folder kind)
  cmake_parse_arguments(PARSE_ARGV 2 row "QT" "ABOUT"
                        "LINKS;PRIVATE;EXTERNAL;PRIVATE_EXTERNAL;EXCLUDE")
  if(row_UNPARSED_ARGUMENTS OR NOT row_ABOUT OR NOT kind MATCHES "^(STATIC|SHARED|MODULE)$")
    message(FATAL_ERROR "Layers.cmake: the row of ${folder} is not of the table's form")
  endif()
  foreach(other ${row_LINKS} ${row_PRIVATE})
    if(NOT other IN_LIST VIREO_LAYERS)
      message(FATAL_ERROR "Layers.cmake: ${folder} links ${other}, which is not a row above it")
    endif()
  endforeach()
  set(VIREO_LAYERS ${VIREO_LAYERS} ${folder} PARENT_SCOPE)
  set(VIREO_LAYER_${folder}_KIND ${kind} PARENT_SCOPE)
  set(VIREO_LAYER_${folder}_QT ${row_QT} PARENT_SCOPE)
  foreach(column LINKS PRIVATE EXTERNAL PRIVATE_EXTERNAL EXCLUDE ABOUT)
    set(VIREO_LAYER_${folder}_${column} "${row_${column}}" PARENT_SCOPE)
  endforeach()
endfunction()

vireo_row(base STATIC
  ABOUT "The one way to report a failure: a problem (its text, and the file and line it is
about) and a result that is a value or a problem")
vireo_row(codecs STATIC LINKS base
  ABOUT "Value codecs: numbers, bits, times of day, hex, the settings file's value lines")
vireo_row(framework SHARED LINKS base
  ABOUT "The platform's plain part: COM-shaped types, module state, class objects, the registry
file, type library descriptions, the desktop (with the scripted one), safe files, the one date
type; shared, so that the host and the module it loads share one desktop and module state")
vireo_row(lon STATIC PRIVATE_EXTERNAL PkgConfig::NETTLE
  ABOUT "The LON/IP link: LonTalk packets, network management, IP-852 framing with its MD5
digest, transactions, the UDP transport and pcap capture")
vireo_row(node STATIC LINKS framework codecs
  ABOUT "The node link: host interfaces, part window, node variable map, the node field table,
service password")
vireo_row(settings STATIC LINKS node
  ABOUT "The settings file and the export, download and factory-default operations")
vireo_row(history STATIC LINKS node EXTERNAL SQLite::SQLite3
  ABOUT "The write history: its SQLite database, the recorder that fills it, the decoded listing")
vireo_row(sim STATIC LINKS settings lon EXTERNAL nlohmann_json::nlohmann_json
  ABOUT "The simulated node: its plant, state file, network folder, channel and operation lock")
vireo_row(link STATIC LINKS sim lon
  ABOUT "The host's node over a LON/IP channel: the node link, the shared channel, discovery,
the channel members and transaction numbers it keeps")
vireo_row(site STATIC LINKS link
  ABOUT "The site: its file of routers, channels and nodes, and the secret of its channels")
vireo_row(serve STATIC LINKS link sim
  ABOUT "The served side: the simulated node served on a LON/IP channel, its router membership,
the served site and the in-process loopback link of the session scripts")
vireo_row(access STATIC LINKS site link sim
  ABOUT "Opening a node: node targets with one parser and one text form, the one open call
(operation lock, identity, history naming), the state-file loader, the many-node runner")
vireo_row(platform SHARED QT LINKS framework EXTERNAL Qt6::Widgets PRIVATE_EXTERNAL Qt6::Charts
  ABOUT "The dialog layer over Qt: dialogs, property sheets and pages, controls by id, the Qt
desktop, charts; shared for one dialog layer in the host and the module")
vireo_row(res STATIC QT LINKS platform
  ABOUT "The module's resources: dialog templates, strings, bitmaps, the type library")
vireo_row(page STATIC LINKS node res
  ABOUT "The page protocol: the base of every page")
vireo_row(pages STATIC LINKS page settings
  ABOUT "Function pages, with the Node Information and Import / Export pages")
vireo_row(calendar STATIC LINKS page
  ABOUT "The set time and calendar pages")
vireo_row(sheet STATIC QT LINKS pages calendar
  ABOUT "The sheet that owns the pages")
vireo_row(control STATIC QT LINKS sheet history
  ABOUT "The control that opens the sheet, its class object and registration")
vireo_row(module MODULE QT PRIVATE control
  ABOUT "The module the host loads (Vireo.so): the four exports over everything above")
vireo_row(host STATIC QT LINKS site access platform EXTERNAL dl PRIVATE res PRIVATE_EXTERNAL qt6keychain
  ABOUT "The network tool: finds the plug-in by Program ID and loads its module, the client
site, the console desktop, the start window, the secret store; it reaches the control only
through the module")
vireo_row(script STATIC QT LINKS host serve
  ABOUT "The session-script runner and its syntax")
vireo_row(cli STATIC QT LINKS script history EXTERNAL CLI11::CLI11 EXCLUDE main.cpp
  ABOUT "The command line: one function per subcommand; main is the vireo program's")

# The folders a folder's files may include: its own, those it links, and what those pass on.
function(vireo_reachable folder out)
  set(reach ${folder} ${VIREO_LAYER_${folder}_LINKS} ${VIREO_LAYER_${folder}_PRIVATE})
  set(queue ${VIREO_LAYER_${folder}_LINKS} ${VIREO_LAYER_${folder}_PRIVATE})
  while(queue)
    list(POP_FRONT queue next)
    foreach(passed ${VIREO_LAYER_${next}_LINKS})
      if(NOT passed IN_LIST reach)
        list(APPEND reach ${passed})
        list(APPEND queue ${passed})
      endif()
    endforeach()
  endwhile()
  set(${out} ${reach} PARENT_SCOPE)
endfunction()
