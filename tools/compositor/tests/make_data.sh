#!/bin/sh
# Test inputs for Tamsel, made by ffmpeg: uncompressed video (10 fps, 2 s) with 0, 1, 2
# PCM audio streams, an audio-only file with two streams, and a truncated file.
set -e
out=$1
mkdir -p "$out"
cd "$out"
ff="ffmpeg -y -v error"
video="-f lavfi -i testsrc=size=64x48:rate=10:duration=2"
tone() { echo "-f lavfi -i sine=frequency=$1:sample_rate=22050:duration=2"; }
vcodec="-c:v rawvideo -pix_fmt bgr24"
acodec="-c:a pcm_s16le"
$ff $video $vcodec v0.avi
$ff $video $(tone 440) -map 0:v -map 1:a $vcodec $acodec v1.avi
$ff $video $(tone 440) $(tone 660) -map 0:v -map 1:a -map 2:a $vcodec $acodec v2.avi
$ff $(tone 880) $(tone 990) -map 0:a -map 1:a $acodec audio2.avi
head -c 20000 v1.avi > truncated.avi
printf 'not an AVI file\n' > text.avi
# Compressed audio, copied by Tamsel as it is: MS ADPCM and mu-law beside video, and an
# audio-only file with IMA ADPCM and A-law streams.
$ff $video $(tone 440) -map 0:v -map 1:a $vcodec -c:a adpcm_ms vadpcm.avi
$ff $video $(tone 550) -map 0:v -map 1:a $vcodec -c:a pcm_mulaw vmulaw.avi
$ff $(tone 770) $(tone 330) -map 0:a -map 1:a -c:a:0 adpcm_ima_wav -c:a:1 pcm_alaw ima_alaw.avi
# MS ADPCM at 44100 Hz mono in blocks of 1024 bytes: a format the platform's chooser offers
# too. Stereo mu-law (blocks of 2 bytes), whose header the test rewrites to count bytes.
$ff $video -f lavfi -i sine=frequency=440:sample_rate=44100:duration=2 -map 0:v -map 1:a \
    $vcodec -c:a adpcm_ms vadpcm44.avi
$ff $video $(tone 660) -map 0:v -map 1:a $vcodec -c:a pcm_mulaw -ac 2 vmulaw2.avi
# Compressed video (Microsoft Video 1) with MS ADPCM audio, which a run without a codec
# copies as it is.
$ff $video $(tone 440) -map 0:v -map 1:a -c:v msvideo1 -c:a adpcm_ms vcram.avi
