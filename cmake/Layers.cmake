# The layers, bottom first. A layer may include its own headers and those of the layers listed
# for it; anything else is a fault that the build (each layer's include root, pagemint_layer, and
# the layer check run before the contract is built) and the check as a test (CheckLayers.cmake)
# both refuse. No include may climb out of its folder with "..", in any of our sources.
#
#   app                              engine window, start-up, shutdown
#   ui            cli                main window, dialogs, skin; the command line
#                 conversion         jobs, staging, delivery
#   process  settings  imagelist     console runner; settings file; the image list and its scan
#   common                           file names as bytes, application folder, rounding, exit request
#   contract                         what the program, pdf.exe and the decoders agree on
# Helper programs: converter (contract); decoder and recognizer (sandbox, contract); sandbox
# (contract).
set(PAGEMINT_LAYERS_contract "")
set(PAGEMINT_LAYERS_common contract)
set(PAGEMINT_LAYERS_process common contract)
set(PAGEMINT_LAYERS_settings common contract)
set(PAGEMINT_LAYERS_imagelist common contract)
set(PAGEMINT_LAYERS_conversion process common contract)
set(PAGEMINT_LAYERS_ui imagelist common contract)
set(PAGEMINT_LAYERS_cli conversion settings imagelist process common contract)
set(PAGEMINT_LAYERS_app ui cli conversion process settings imagelist common contract)
# The helper programs see only the contract besides their own folder; those that read hostile
# pictures also see the sandbox they shut themselves in, which sees only the contract.
set(PAGEMINT_LAYERS_sandbox contract)
set(PAGEMINT_LAYERS_converter contract)
set(PAGEMINT_LAYERS_decoder sandbox contract)
set(PAGEMINT_LAYERS_recognizer sandbox contract)

# The folders of the layers and programs above, and those with no layer whose includes are checked
# only for "..".
set(PAGEMINT_LAYER_FOLDERS contract sandbox converter decoder recognizer)
foreach(layer common process settings imagelist conversion cli ui app)
  list(APPEND PAGEMINT_LAYER_FOLDERS src/${layer})
endforeach()
set(PAGEMINT_UNLAYERED_FOLDERS tests tools bench)
