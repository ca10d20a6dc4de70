#!/bin/sh
# PID 1 of the 32-bit lane's virtual machine (copied into the image as
# /sbin/loxa-init). It mounts the host's project folder at the same absolute
# path as on the host, so that the build tree's absolute paths hold, runs the
# guest job from it with the output in a log there, writes the job's exit
# status beside the log and powers off. The kernel command line gives
# loxa_root (the project folder) and loxa_out (the log folder inside it); the
# kernel passes both to this script as environment variables.
export PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin
export HOME=/root

mount -t proc proc /proc 2>/dev/null
mount -t sysfs sys /sys 2>/dev/null
mount -t devtmpfs dev /dev 2>/dev/null
mkdir -p /dev/pts /dev/shm
mount -t devpts devpts /dev/pts
mount -t tmpfs tmpfs /dev/shm
mount -t tmpfs tmpfs /tmp
mount -t tmpfs tmpfs /run
hostname loxa-vm

modprobe 9pnet_virtio
modprobe 9p
mkdir -p "$loxa_root"
if mount -t 9p -o trans=virtio,version=9p2000.L,msize=512000,cache=loose host "$loxa_root"; then
  mkdir -p "$loxa_out"
  bash "$loxa_root/scripts/test-win32.sh" --guest >"$loxa_out/guest.log" 2>&1
  echo $? >"$loxa_out/guest.status"
  sync
  umount "$loxa_root"
fi
sync
echo o >/proc/sysrq-trigger
sleep 60
